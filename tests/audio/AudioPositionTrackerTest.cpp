// The heard-position estimate on its own: a line on the clock that callbacks nudge,
// never going back and never past what the device was handed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/AudioPositionTracker.h"

namespace {

constexpr double rate = 44100.0;
constexpr double buffer = 1024.0;
constexpr double period = buffer / rate;
constexpr double huge = 1e12;

TEST(AudioPositionTrackerTest, HoldsTheStartUntilTheFirstCallback)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(5000.0);
    EXPECT_FALSE(tracker.measured());
    EXPECT_EQ(tracker.read(10.0, huge), 5000.0);
    EXPECT_EQ(tracker.read(20.0, huge), 5000.0);
    // The device was one buffer behind the start: the position leaves it once that
    // buffer has played.
    tracker.measure(20.0, 5000.0 - buffer);
    EXPECT_EQ(tracker.read(20.0 + period / 2, huge), 5000.0);
    EXPECT_NEAR(tracker.read(20.0 + 2 * period, huge), 5000.0 + buffer, 1e-6);
}

TEST(AudioPositionTrackerTest, RegularCallbacksGiveAnExactLine)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(0.0);
    for (int k = 0; k < 100; ++k) {
        tracker.measure(k * period, k * buffer);
        for (int sub = 1; sub <= 4; ++sub) {
            const double t = k * period + sub * period / 4;
            ASSERT_NEAR(tracker.read(t, huge), t * rate, 1e-6) << k << "/" << sub;
        }
    }
}

TEST(AudioPositionTrackerTest, NeverGoesBackNorPastTheCeiling)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(0.0);
    tracker.measure(0.0, 0.0);
    const double before = tracker.read(0.010, huge);
    // A callback that says the device is 5 ms behind the line pulls the line back: the
    // position waits instead of going back.
    tracker.measure(0.010, before - 0.005 * rate);
    EXPECT_EQ(tracker.read(0.010, huge), before);
    EXPECT_GE(tracker.read(0.011, huge), before);
    // Nothing is heard that was not handed over.
    EXPECT_EQ(tracker.read(1.0, 3000.0), 3000.0);
    EXPECT_EQ(tracker.read(2.0, 3000.0), 3000.0);
}

TEST(AudioPositionTrackerTest, LargeDisagreementReanchors)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(0.0);
    for (int k = 0; k < 10; ++k)
        tracker.measure(k * period, k * buffer);
    // An underrun: the device stalled for half a second and carries on from where it
    // was. The line restarts there instead of creeping back over many callbacks.
    const double t = 10 * period + 0.5;
    tracker.measure(t, 10 * buffer);
    EXPECT_NEAR(tracker.read(t + period, huge), 11 * buffer, 1e-6);

    // A skip forward of 200 ms is taken at once too.
    audio::AudioPositionTracker skipping(rate);
    skipping.reset(0.0);
    skipping.measure(0.0, 0.0);
    skipping.measure(period, buffer);
    skipping.measure(2 * period, 2 * buffer + 0.2 * rate);
    EXPECT_NEAR(skipping.read(2 * period, huge), 2 * buffer + 0.2 * rate, 1e-6);

    // A small disagreement is only nudged.
    audio::AudioPositionTracker nudged(rate);
    nudged.reset(0.0);
    for (int k = 0; k < 40; ++k)
        nudged.measure(k * period, k * buffer);
    nudged.measure(40 * period, 40 * buffer + 100.0);
    const double after = nudged.read(40 * period, huge);
    EXPECT_GT(after, 40 * buffer);
    EXPECT_LT(after, 40 * buffer + 10.0);
}

// Sound servers often call back in bursts: two buffers at once every other period. The
// staircase then says the device is a buffer ahead after the second call of a pair and
// right on time after the first; the estimate runs smoothly between the two.
TEST(AudioPositionTrackerTest, BurstyCallbacksAverageOut)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(0.0);
    double worstError = 0.0;
    double worstStep = 0.0;
    double handed = 0.0;
    double last = 0.0;
    const double dt = period / 4;
    for (int k = 0; k < 400; k += 2) {
        const double t = k * period;
        tracker.measure(t, handed);
        handed += buffer;
        tracker.measure(t + 0.0001, handed);
        handed += buffer;
        for (int sub = 1; sub <= 8; ++sub) {
            const double time = t + sub * dt;
            const double position = tracker.read(time, huge);
            if (k > 40) {
                worstError = std::max(worstError, std::fabs(position - (time * rate + buffer / 2)));
                worstStep = std::max(worstStep, std::fabs(position - last - dt * rate));
            }
            last = position;
        }
    }
    EXPECT_LT(worstError, 0.1 * buffer);
    EXPECT_LT(worstStep, 0.05 * buffer);
}

// A device whose clock runs 0.5 % slow against the system clock (a cheap crystal, a
// resampling sound server): the position learns its pace instead of trailing it.
TEST(AudioPositionTrackerTest, FollowsADeviceThatRunsSlow)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(0.0);
    const double slow = 0.995;
    double worstLate = 0.0;
    for (int k = 0; k < 400; ++k) {
        tracker.measure(k * period, k * buffer * slow);
        if (k >= 250) {
            const double time = k * period + period / 2;
            const double truth = time * rate * slow;
            worstLate = std::max(worstLate, std::fabs(tracker.read(time, huge) - truth));
        }
    }
    EXPECT_NEAR(tracker.framesPerSecond(), rate * slow, rate * 0.0005);
    // Without the pace the position would trail by (0.5 % of a callback) / gain, 3.7 ms.
    EXPECT_LT(worstLate, 0.0003 * rate);
}

// Nonsense from the device cannot drive the pace anywhere absurd.
TEST(AudioPositionTrackerTest, PaceStaysNearTheNominalRate)
{
    audio::AudioPositionTracker tracker(rate);
    tracker.reset(0.0);
    for (int k = 0; k < 2000; ++k)
        tracker.measure(k * period, k * buffer * 1.5);
    EXPECT_LE(tracker.framesPerSecond(), rate * (1.0 + audio::AudioPositionTracker::maxPaceDrift));
}

} // namespace
