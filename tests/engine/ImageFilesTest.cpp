// BMP and DDS layouts judged without GL: a header's claims are checked against the bytes
// before anything is sized from them, so a tiny file cannot make the reader allocate much.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "engine/ImageFiles.h"

namespace {

// The largest single allocation since the last reset, for the whole test program.
std::size_t largestAllocation = 0;

std::vector<std::uint8_t> fromHex(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// 58 bytes: a 1 x 1 24-bit BMP whose image-size field claims almost 4 GiB.
const char* const hugeClaimBmp =
    "424d3a00000000000000360000002800000001000000010000000100180000000000f0ffffff130b0000130b"
    "0000000000000000000000000000";

TEST(ImageFilesTest, ABmpHeaderClaimingGigabytesIsReadFromTheBytesItHas)
{
    const auto bytes = fromHex(hugeClaimBmp);
    ASSERT_EQ(bytes.size(), 58u);
    Tarvo::BmpImage image;
    largestAllocation = 0;
    ASSERT_TRUE(Tarvo::parseBmp(bytes, image)) << "one whole pixel row is in the file";
    EXPECT_LT(largestAllocation, 4096u);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels.size(), 4u);
}

TEST(ImageFilesTest, BmpRowsMissingFromTheFileAreRefused)
{
    auto bytes = fromHex(hugeClaimBmp);
    bytes[18] = 200; // 200 x 1: 600 bytes of row, 4 present
    Tarvo::BmpImage image;
    largestAllocation = 0;
    EXPECT_FALSE(Tarvo::parseBmp(bytes, image));
    EXPECT_LT(largestAllocation, 4096u);
    bytes[18] = 1;
    bytes[22] = 0; // height 0
    EXPECT_FALSE(Tarvo::parseBmp(bytes, image));
}

TEST(ImageFilesTest, DdsLevelsStopAtTheEndOfTheFileAndAtOnePixel)
{
    std::vector<std::uint8_t> bytes(128 + 8 * 4 + 8 + 8 + 3, 0);
    bytes[0] = 'D', bytes[1] = 'D', bytes[2] = 'S', bytes[3] = ' ';
    const auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(4 + 8, 8);           // height
    put(4 + 12, 8);          // width
    put(4 + 24, 0xFFFFFFFF); // a wild mip count
    bytes[4 + 80] = 'D', bytes[4 + 81] = 'X', bytes[4 + 82] = 'T', bytes[4 + 83] = '1';
    Tarvo::DdsImage image;
    ASSERT_EQ(Tarvo::parseDds(bytes, image), Tarvo::DdsResult::Ok);
    ASSERT_EQ(image.levels.size(), 3u) << "8x8 (32 bytes), 4x4 (8), 2x2 (8); 1x1 is cut off";
    EXPECT_EQ(image.levels[2].width, 2u);
    EXPECT_EQ(image.levels[2].offset, 128u + 40u);

    bytes.resize(130);
    EXPECT_EQ(Tarvo::parseDds(bytes, image), Tarvo::DdsResult::NoImage);
    bytes[4 + 83] = '9';
    EXPECT_EQ(Tarvo::parseDds(bytes, image), Tarvo::DdsResult::Unsupported);
    bytes.resize(64);
    EXPECT_EQ(Tarvo::parseDds(bytes, image), Tarvo::DdsResult::NotDds);
}

} // namespace

void* operator new(std::size_t size)
{
    largestAllocation = std::max(largestAllocation, size);
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
