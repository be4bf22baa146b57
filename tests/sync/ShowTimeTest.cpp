// The show's time: the tempo's arithmetic, bars and beats, and where the end rule ends a
// show, from the keys of an end track alone.
#include <gtest/gtest.h>

#include <cmath>

#include "support/KeyedTrack.h"
#include "sync/ShowTime.h"

namespace {

using showtime::showEnd;
using EndTrack = testsupport::KeyedTrack;

TEST(ShowTime, TwentyRowsASecondAndBackExactly)
{
    EXPECT_EQ(showtime::rowsPerSecond, 20.0);
    EXPECT_EQ(showtime::rowsPerBar, 32);
    EXPECT_EQ(showtime::secondsAt(100.0), 5.0);
    EXPECT_EQ(showtime::rowAt(179.2), 3584.0);
    for (double row : {0.0, 0.1, 1.0 / 3.0, 1280.0, 3583.9996})
        EXPECT_DOUBLE_EQ(showtime::rowAt(showtime::secondsAt(row)), row) << row;
}

TEST(ShowTime, BarsAndBeatsCountFromOneAndForgiveASeekThatFallsShort)
{
    struct Case {
        double row;
        long bar;
        int beat;
    };
    for (const Case& c : {Case{0.0, 1, 1}, Case{7.99, 1, 1}, Case{8.0, 1, 2}, Case{31.99, 1, 4},
                          Case{40.0, 2, 2}, Case{3583.9996, 113, 1}, Case{-5.0, 1, 1}, Case{NAN, 1, 1}}) {
        const showtime::BarBeat at = showtime::barBeatAt(c.row);
        EXPECT_EQ(at.bar, c.bar) << c.row;
        EXPECT_EQ(at.beat, c.beat) << c.row;
    }
}

TEST(ShowTime, OneOrLessEndsTheShowAndSoDoesNaN)
{
    EXPECT_TRUE(showtime::endsShow(1.0f));
    EXPECT_TRUE(showtime::endsShow(0.0f));
    EXPECT_TRUE(showtime::endsShow(NAN));
    EXPECT_FALSE(showtime::endsShow(1.0001f));
    EXPECT_TRUE(showtime::endsShowAt(TrackHandle(), 10.0)) << "no end track reads 0";
}

TEST(ShowTime, TheShowEndsAtTheFirstRowWhereTheEndTrackDrops)
{
    // A step down to 1.0 at row 100 and back up at 150: the dip ends the show.
    const EndTrack dip({{0, 2.0f, Step}, {100, 1.0f, Step}, {150, 3.0f, Step}});
    EXPECT_EQ(showEnd(dip.handle(), 0.0, 120.0).row, 100.0);
    EXPECT_FALSE(showEnd(dip.handle(), 0.0, 120.0).musicFirst);
    // Music that ends before the dip ends the show first, at its own end.
    EXPECT_EQ(showEnd(dip.handle(), 0.0, 99.9).row, 99.9);
    EXPECT_TRUE(showEnd(dip.handle(), 0.0, 99.9).musicFirst);
    // Started past the dip, the show runs on to the music's end.
    EXPECT_TRUE(showEnd(dip.handle(), 150.0, 400.0).musicFirst);

    // A ramp from 3 to 0 over 100 rows crosses 1.0 two thirds of the way.
    const EndTrack ramp({{0, 3.0f, Linear}, {100, 0.0f, Step}});
    const showtime::ShowEnd crossing = showEnd(ramp.handle(), 0.0, 1000.0);
    EXPECT_NEAR(crossing.row, 200.0 / 3.0, 1e-4);
    EXPECT_TRUE(showtime::endsShowAt(ramp.handle(), crossing.row));
    EXPECT_FALSE(showtime::endsShowAt(ramp.handle(), crossing.row - 1e-3));
    EXPECT_FALSE(showEnd(ramp.handle(), 0.0, 67.0).musicFirst);
    EXPECT_TRUE(showEnd(ramp.handle(), 0.0, 66.0).musicFirst);
}

TEST(ShowTime, EdgesOfTheEndRule)
{
    // No end track: the first frame ends the show.
    EXPECT_EQ(showEnd(TrackHandle(), 7.0, 100.0).row, 7.0);
    // A drop exactly where the music ends is the track's doing, not the music's.
    const EndTrack atMusicEnd({{0, 2.0f, Step}, {400, 0.0f, Step}});
    EXPECT_EQ(showEnd(atMusicEnd.handle(), 0.0, 400.0).row, 400.0);
    EXPECT_FALSE(showEnd(atMusicEnd.handle(), 0.0, 400.0).musicFirst);
    // Without music a track that never drops ends the show nowhere.
    const EndTrack never({{0, 2.0f, Step}});
    EXPECT_TRUE(std::isinf(showEnd(never.handle(), 0.0, -1.0).row));
    EXPECT_FALSE(showEnd(never.handle(), 0.0, -1.0).musicFirst);
    // Starting at or past the music's end ends at once.
    EXPECT_EQ(showEnd(never.handle(), 500.0, 400.0).row, 500.0);
    EXPECT_TRUE(showEnd(never.handle(), 500.0, 400.0).musicFirst);
}

} // namespace
