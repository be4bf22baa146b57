// The browser's music position: output timestamps that move in steps become a position
// that runs smoothly on the page clock, never steps back and stops at the end.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/WebMusicClock.h"

namespace {

constexpr double rate = 44100.0;

// A browser whose output timestamp moves in stepSeconds steps; the context started at
// contextOrigin when the page clock read pageOrigin, and the output lags by latency.
struct SteppedOutput {
    double stepSeconds = 0.015;
    double latency = 0.02;
    double contextOrigin = 3.0;
    double pageOrigin = 100.0;

    double heardContext(double page) const
    {
        const double exact = page - pageOrigin + contextOrigin - latency;
        return std::floor(exact / stepSeconds) * stepSeconds;
    }
    double heardAt(double page) const { return heardContext(page) - contextOrigin + latency + pageOrigin; }
};

TEST(WebMusicClockTest, HoldsTheStartUntilATimestampPastItArrives)
{
    audio::WebMusicClock clock(rate, 10 * rate);
    clock.play(0.0, 5.0);
    EXPECT_EQ(clock.position(4.99, 100.0, 100.01), 0.0);
    EXPECT_EQ(clock.position(4.99, 100.0, 100.05), 0.0);
    EXPECT_GT(clock.position(5.01, 100.06, 100.07), 0.0);
}

TEST(WebMusicClockTest, SteppedTimestampsGiveASmoothPositionThatNeverGoesBack)
{
    SteppedOutput output;
    audio::WebMusicClock clock(rate, 600 * rate);
    clock.play(0.0, output.contextOrigin);
    double previous = 0.0;
    double worst = 0.0;
    // Two seconds of 60 Hz frames.
    for (int frame = 1; frame <= 120; ++frame) {
        const double page = output.pageOrigin + frame / 60.0;
        const double position = clock.position(output.heardContext(page), output.heardAt(page), page);
        ASSERT_GE(position, previous) << "frame " << frame;
        previous = position;
        if (frame > 30)
            worst = std::max(worst, std::fabs(position / rate - (page - output.pageOrigin - output.latency)));
    }
    // Within a millisecond of what is heard once settled: the 15 ms steps are smoothed out.
    EXPECT_LT(worst, 0.001);
}

TEST(WebMusicClockTest, StopsAtTheEndOfTheMusic)
{
    audio::WebMusicClock clock(rate, rate);
    clock.play(0.5 * rate, 0.0);
    EXPECT_FALSE(clock.ended());
    clock.position(0.0, 10.0, 10.0);
    EXPECT_EQ(clock.position(0.6, 10.6, 10.7), rate);
    EXPECT_TRUE(clock.ended());
}

TEST(WebMusicClockTest, PauseHoldsThePositionAndPlayResumesFromIt)
{
    audio::WebMusicClock clock(rate, 60 * rate);
    clock.play(0.0, 1.0);
    clock.position(1.0, 50.0, 50.0);
    const double held = clock.position(2.0, 51.0, 51.0);
    clock.pause();
    EXPECT_EQ(clock.position(9.0, 58.0, 58.0), held);
    EXPECT_FALSE(clock.playing());
    clock.play(clock.lastRead(), 20.0);
    EXPECT_EQ(clock.position(19.0, 60.0, 60.0), held);
    EXPECT_GT(clock.position(20.5, 60.5, 60.5), held);
}

TEST(WebMusicClockTest, SeekingPastTheEndStopsAtTheEnd)
{
    audio::WebMusicClock clock(rate, 2 * rate);
    clock.seek(5 * rate);
    EXPECT_EQ(clock.lastRead(), 2 * rate);
    EXPECT_TRUE(clock.ended());
}

} // namespace
