// BMP and DDS layouts judged without GL: a header's claims are checked against the bytes
// before anything is sized from them, so a tiny file cannot make the reader allocate much.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/ImageCache.h"
#include "engine/ImageFiles.h"
#include "heapwatch/HeapWatch.h"
#include "support/ScratchDir.h"

#include <stb_image_write.h>

namespace {

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

// Where an allocation is kept so that the compiler cannot leave it out.
char* volatile allocationSink = nullptr;

// The limits below mean something only if the watch sees this program's allocations.
TEST(ImageFilesTest, TheAllocationWatchSeesTheLargestAllocation)
{
    heapwatch::reset();
    const long before = heapwatch::allocations();
    std::vector<char> block(1 << 20);
    allocationSink = block.data();
    EXPECT_GE(heapwatch::largestAllocation(), block.size());
    EXPECT_GT(heapwatch::allocations(), before);
}

TEST(ImageFilesTest, ABmpHeaderClaimingGigabytesIsReadFromTheBytesItHas)
{
    const auto bytes = fromHex(hugeClaimBmp);
    ASSERT_EQ(bytes.size(), 58u);
    Tarvo::BmpImage image;
    heapwatch::reset();
    ASSERT_TRUE(Tarvo::parseBmp(bytes, image)) << "one whole pixel row is in the file";
    EXPECT_LT(heapwatch::largestAllocation(), 4096u);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels.size(), 4u);
}

TEST(ImageFilesTest, BmpRowsMissingFromTheFileAreRefused)
{
    auto bytes = fromHex(hugeClaimBmp);
    bytes[18] = 200; // 200 x 1: 600 bytes of row, 4 present
    Tarvo::BmpImage image;
    heapwatch::reset();
    EXPECT_FALSE(Tarvo::parseBmp(bytes, image));
    EXPECT_LT(heapwatch::largestAllocation(), 4096u);
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

// Width x height against the limits every loader shares, at each edge.
TEST(ImageFilesTest, SizeLimitsHoldAtTheirEdges)
{
    EXPECT_EQ(Tarvo::imageSizeRefusal(8192, 8192), "");
    EXPECT_EQ(Tarvo::imageSizeRefusal(16384, 1), "");
    EXPECT_EQ(Tarvo::imageSizeRefusal(16384, 4096), "");
    const std::string overPixels = Tarvo::imageSizeRefusal(8192, 8193);
    EXPECT_NE(overPixels.find("8192x8193 is 67117056 pixels, over the limit of 67108864"), std::string::npos)
        << overPixels;
    EXPECT_NE(Tarvo::imageSizeRefusal(16385, 1).find("side over the limit of 16384"), std::string::npos);
    EXPECT_NE(Tarvo::imageSizeRefusal(1, 16385).find("side over the limit of 16384"), std::string::npos);
    EXPECT_NE(Tarvo::imageSizeRefusal(0, 5), "");
    EXPECT_NE(Tarvo::imageSizeRefusal(-1, 5), "");
}

// PNG's own layout, enough for the decoder's header reader: signature, IHDR, one IDAT
// holding a few bytes of a zlib stream, IEND.
std::uint32_t crc32(const std::vector<std::uint8_t>& bytes, std::size_t from)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(static_cast<std::uint8_t>(data.size() >> shift));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const std::uint32_t crc = crc32(png, start);
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(static_cast<std::uint8_t>(crc >> shift));
}

std::vector<std::uint8_t> pngClaiming(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> png = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<std::uint8_t> header;
    for (std::uint32_t value : { width, height })
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(static_cast<std::uint8_t>(value >> shift));
    header.insert(header.end(), { 8, 2, 0, 0, 0 }); // 8-bit RGB
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", { 0x78, 0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF });
    putChunk(png, "IEND", {});
    return png;
}

// A PNG's header is judged before it is decoded: a file of a few dozen bytes that claims
// 16000 x 16000 pixels (768 MB decoded) is refused naming the limit, and so are a BMP and
// a DDS header with the same claim, under the same limit.
TEST(ImageFilesTest, ImagesOverTheSizeLimitAreRefusedBeforeDecoding)
{
    testsupport::ScratchDir folder;
    const auto hugePng = folder.write("huge.png", pngClaiming(16000, 16000));
    Tarvo::ImageCache cache;
    const auto image = cache.get(hugePng);
    EXPECT_EQ(image->pixels, nullptr);
    EXPECT_NE(image->failure.find("16000x16000 is 256000000 pixels, over the limit of 67108864"), std::string::npos)
        << image->failure;

    auto bmp = fromHex(hugeClaimBmp);
    bmp[18] = 0, bmp[19] = 0x40, bmp[22] = 0, bmp[23] = 0x40; // 16384 x 16384, within the side limit
    Tarvo::BmpImage bmpImage;
    std::string why;
    EXPECT_FALSE(Tarvo::parseBmp(bmp, bmpImage, &why));
    EXPECT_NE(why.find("over the limit of 67108864"), std::string::npos) << why;

    std::vector<std::uint8_t> dds(128 + 4096, 0);
    std::memcpy(dds.data(), "DDS ", 4);
    dds[4 + 9] = 0x40, dds[4 + 13] = 0x40; // 16384 x 16384
    std::memcpy(dds.data() + 4 + 80, "DXT1", 4);
    Tarvo::DdsImage ddsImage;
    why.clear();
    EXPECT_EQ(Tarvo::parseDds(dds, ddsImage, &why), Tarvo::DdsResult::TooLarge);
    EXPECT_NE(why.find("over the limit of 67108864"), std::string::npos) << why;
}

// Real files on either side of the side limit: a strip 16384 pixels long decodes, one a
// pixel longer does not.
TEST(ImageFilesTest, ALongStripDecodesUpToTheSideLimit)
{
    testsupport::ScratchDir folder;
    Tarvo::ImageCache cache;
    for (const int width : { 16384, 16385 }) {
        const std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * 3, 200);
        const std::string path = folder.file("strip" + std::to_string(width) + ".png");
        ASSERT_TRUE(stbi_write_png(path.c_str(), width, 1, 3, pixels.data(), width * 3));
        const auto image = cache.get(path);
        if (width == 16384) {
            EXPECT_NE(image->pixels, nullptr) << image->failure;
            EXPECT_EQ(image->width, width);
        } else {
            EXPECT_EQ(image->pixels, nullptr);
            EXPECT_NE(image->failure.find("16385x1 has a side over the limit of 16384"), std::string::npos)
                << image->failure;
        }
    }
}

} // namespace
