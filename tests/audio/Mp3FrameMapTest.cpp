// Frame headers and the placing of found frames on the music's time line: runs of frames,
// stretches overwritten or inserted, headers found inside damage, and the info tag's count.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/Mp3FrameMap.h"

namespace audiotest {
namespace {

using audio::mpegFrameBytes;
using audio::placeFrames;

// A header with the given fields (version 3 MPEG 1, 2 MPEG 2, 0 MPEG 2.5; layer bits 1 for
// layer III, 2 for II, 3 for I).
std::uint32_t header(int version, int layerBits, int bitrateIndex, int rateIndex, int padding)
{
    return 0xFFE00000u | std::uint32_t(version) << 19 | std::uint32_t(layerBits) << 17 | 1u << 16
        | std::uint32_t(bitrateIndex) << 12 | std::uint32_t(rateIndex) << 10 | std::uint32_t(padding) << 9;
}

TEST(Mp3FrameMapTest, FrameLengthsFollowTheHeader)
{
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 11, 0, 0)), 626); // 192 kb/s, 44.1 kHz
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 11, 0, 1)), 627);
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 14, 1, 0)), 960);  // 320 kb/s, 48 kHz
    EXPECT_EQ(mpegFrameBytes(header(2, 1, 8, 0, 0)), 208);   // MPEG 2: 64 kb/s, 22.05 kHz
    EXPECT_EQ(mpegFrameBytes(header(0, 1, 1, 2, 0)), 72);   // MPEG 2.5: 8 kb/s, 8 kHz
    EXPECT_EQ(mpegFrameBytes(header(3, 2, 8, 1, 0)), 384);   // layer II: 128 kb/s, 48 kHz
    EXPECT_EQ(mpegFrameBytes(header(3, 3, 1, 2, 1)), 52);    // layer I: 32 kb/s, 32 kHz, padded
    // Not headers: no sync, reserved version, layer, rate, and the free or bad bitrates.
    EXPECT_EQ(mpegFrameBytes(0), 0);
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 11, 0, 0) & ~0x00200000u), 0);
    EXPECT_EQ(mpegFrameBytes(header(1, 1, 11, 0, 0)), 0);
    EXPECT_EQ(mpegFrameBytes(header(3, 0, 11, 0, 0)), 0);
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 11, 3, 0)), 0);
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 0, 0, 0)), 0);
    EXPECT_EQ(mpegFrameBytes(header(3, 1, 15, 0, 0)), 0);
}

// A stream of frames of 626 or 627 bytes (as 192 kb/s at 44.1 kHz pads them), from which
// the frames in [cutFrom, cutTo) are lost; what was there is junk bytes, junkBytes long.
struct Stream {
    std::vector<std::int64_t> offsets;
    std::vector<int> bytes;
};

Stream frames(int count, int cutFrom = -1, int cutTo = -1, std::int64_t junkBytes = 0)
{
    Stream s;
    std::int64_t at = 1000;
    for (int i = 0; i < count; ++i) {
        const int length = i % 3 == 2 ? 627 : 626;
        if (i == cutFrom)
            at += junkBytes;
        if (i >= cutFrom && i < cutTo) {
            if (cutFrom >= 0 && junkBytes == 0)
                at += length;
            continue;
        }
        s.offsets.push_back(at);
        s.bytes.push_back(length);
        at += length;
    }
    return s;
}

std::vector<std::uint64_t> silenceBefore(const audio::FrameSlots& placed)
{
    std::vector<std::uint64_t> gaps;
    for (std::size_t i = 1; i < placed.slot.size(); ++i)
        if (placed.slot[i] != placed.slot[i - 1] + 1)
            gaps.push_back(placed.slot[i] - placed.slot[i - 1] - 1);
    return gaps;
}

TEST(Mp3FrameMapTest, AnUndamagedStreamPlaysFrameAfterFrame)
{
    const Stream s = frames(50);
    const audio::FrameSlots placed = placeFrames(s.offsets, s.bytes, 50);
    ASSERT_EQ(placed.slots, 50u);
    for (std::size_t i = 0; i < 50; ++i) {
        EXPECT_EQ(placed.slot[i], i);
        EXPECT_TRUE(placed.trusted[i]);
    }
    EXPECT_EQ(placeFrames({ 7 }, { 0 }, -1).slots, 1u) << "a lone frame is the stream";
    EXPECT_EQ(placeFrames({}, {}, -1).slots, 0u);
}

// Overwritten frames leave a jump in the offsets as long as they were: their slots stay,
// silent, with or without a tag to confirm the count.
TEST(Mp3FrameMapTest, OverwrittenFramesKeepTheirSlots)
{
    for (const std::int64_t tag : { std::int64_t{ 100 }, std::int64_t{ -1 } }) {
        for (const int lost : { 1, 3, 40 }) {
            const Stream s = frames(100, 50, 50 + lost);
            const audio::FrameSlots placed = placeFrames(s.offsets, s.bytes, tag);
            EXPECT_EQ(placed.slots, 100u) << lost << " lost, tag " << tag;
            EXPECT_EQ(silenceBefore(placed), std::vector<std::uint64_t>{ std::uint64_t(lost) });
            EXPECT_EQ(placed.slot[50], std::uint64_t(50 + lost));
        }
    }
}

// Bytes inserted between frames cost no time when the tag says no frame is missing; without
// a tag they are taken for the frames they could have held.
TEST(Mp3FrameMapTest, InsertedBytesCostNoTimeWhenTheTagCountsEveryFrame)
{
    const Stream s = frames(100, 50, 50, 1000);
    EXPECT_EQ(placeFrames(s.offsets, s.bytes, 100).slots, 100u);
    EXPECT_EQ(placeFrames(s.offsets, s.bytes, -1).slots, 102u) << "1000 bytes hold about two frames";
}

// A header found inside damage is not music: its slot plays silence, and the frames after
// it are placed from the last trusted frame.
TEST(Mp3FrameMapTest, AFrameFoundInsideDamageIsSilentAndMovesNothing)
{
    Stream s = frames(100, 50, 55);
    s.offsets.insert(s.offsets.begin() + 50, s.offsets[49] + 626 + 900);
    s.bytes.insert(s.bytes.begin() + 50, 1044);
    for (const std::int64_t tag : { std::int64_t{ 100 }, std::int64_t{ -1 } }) {
        const audio::FrameSlots placed = placeFrames(s.offsets, s.bytes, tag);
        EXPECT_EQ(placed.slots, 100u) << "tag " << tag;
        EXPECT_FALSE(placed.trusted[50]);
        EXPECT_TRUE(placed.trusted[49]);
        EXPECT_TRUE(placed.trusted[51]);
        EXPECT_EQ(placed.slot[51], 55u);
    }
}

// A tag far from what the bytes say (a file cut short as well as damaged) is not believed.
TEST(Mp3FrameMapTest, ATagFarFromTheBytesIsIgnored)
{
    const Stream s = frames(100, 50, 52);
    EXPECT_EQ(placeFrames(s.offsets, s.bytes, 400).slots, 100u);
    EXPECT_EQ(placeFrames(s.offsets, s.bytes, 10).slots, 100u);
}

TEST(Mp3FrameMapTest, FramesOfUnknownLengthAreTakenAsTheyCome)
{
    const audio::FrameSlots placed = placeFrames({ 0, 400, 5000, 5400 }, { 0, 0, 0, 0 }, -1);
    EXPECT_EQ(placed.slots, 4u);
    EXPECT_EQ(placed.slot[2], 2u);
    EXPECT_TRUE(placed.trusted[2]);
}

} // namespace
} // namespace audiotest
