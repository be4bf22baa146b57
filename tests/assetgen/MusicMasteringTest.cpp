// The limiter, the loudness normalisation and the 16-bit conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "music/Dsp.h"
#include "music/Loudness.h"
#include "music/Mastering.h"

using namespace assetgen::music;

namespace {

// A rough stand-in for a dance track: a decaying 50 Hz thump on every beat (the peaks)
// over steady band-limited noise (the body).
StereoTrack beatProgramme(double seconds, float thump, float body)
{
    StereoTrack t;
    const size_t frames = size_t(seconds * kSampleRate);
    t.left.resize(frames);
    t.right.resize(frames);
    Rng rng(7);
    OnePoleLowPass tone;
    tone.set(3000.0);
    for (size_t i = 0; i < frames; ++i) {
        const double inBeat = double(i % kFramesPerBeat) / kSampleRate;
        const float kick =
            thump * float(std::sin(2.0 * std::numbers::pi * 50.0 * inBeat) * std::exp(-inBeat / 0.08));
        const float noise = body * tone.process(rng.bipolar());
        t.left[i] = kick + noise;
        t.right[i] = kick - noise;
    }
    return t;
}

} // namespace

TEST(MusicLimiter, NeverExceedsItsCeiling)
{
    const StereoTrack t = beatProgramme(8.0, 3.0f, 0.3f);
    const TruePeakFilter meter;
    const std::vector<float> peaks = meter.envelope(t.left, t.right);
    for (float scale : {1.0f, 4.0f}) {
        Limiter limiter(220, 0.1);
        const float ceiling = 0.8f;
        const std::vector<float>& gain = limiter.gain(peaks, scale, ceiling);
        ASSERT_EQ(gain.size(), peaks.size());
        StereoTrack out;
        for (size_t i = 0; i < gain.size(); ++i) {
            EXPECT_LE(peaks[i] * scale * gain[i], ceiling * 1.000001f) << i;
            out.left.push_back(t.left[i] * scale * gain[i]);
            out.right.push_back(t.right[i] * scale * gain[i]);
        }
        // Measured again on the limited signal, with the gain moving between samples.
        EXPECT_LE(peakDb(meter.envelope(out.left, out.right)), gainToDb(ceiling) + 0.05);
        EXPECT_LE(samplePeakDb(out.left, out.right), gainToDb(ceiling) + 1e-4);
    }
}

TEST(MusicLimiter, RampsInsteadOfStepping)
{
    // One lone spike: the gain must start falling a full look-ahead before it and move
    // at most 1/lookAhead per frame, so it never clicks.
    std::vector<float> peaks(20000, 0.1f);
    peaks[5000] = 2.0f;
    const int lookAhead = 200;
    Limiter limiter(lookAhead, 0.05);
    const std::vector<float>& gain = limiter.gain(peaks, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(gain[5000 - lookAhead - 1], 1.0f);
    EXPECT_LT(gain[5000 - lookAhead / 2], 1.0f);
    EXPECT_NEAR(gain[5000], 0.5f, 1e-5f);
    for (size_t i = 1; i < gain.size(); ++i)
        EXPECT_LE(std::abs(gain[i] - gain[i - 1]), 1.0f / lookAhead + 1e-5f) << i;
    EXPECT_GT(gain.back(), 0.99f); // recovered long after the spike
}

TEST(MusicLimiter, LeavesQuietMaterialAlone)
{
    const std::vector<float> peaks(5000, 0.5f);
    Limiter limiter(100, 0.1);
    for (float g : limiter.gain(peaks, 1.0f, 0.6f))
        ASSERT_FLOAT_EQ(g, 1.0f);
    EXPECT_TRUE(limiter.gain({}, 1.0f, 0.6f).empty());
}

TEST(MusicMaster, ReachesTargetLoudnessUnderTheCeiling)
{
    for (float thump : {0.2f, 1.5f}) {
        StereoTrack t = beatProgramme(30.0, thump, 0.05f);
        const MasterReport report = master(t);
        EXPECT_TRUE(report.ok);
        EXPECT_NEAR(integratedLoudness(t.left, t.right), -14.0, 0.1) << thump;
        EXPECT_NEAR(report.loudnessLufs, integratedLoudness(t.left, t.right), 1e-9);
        const TruePeakFilter meter;
        EXPECT_LE(peakDb(meter.envelope(t.left, t.right)), MasterSettings{}.ceilingDbtp + 0.01) << thump;
        EXPECT_LE(report.truePeakDbtp, MasterSettings{}.ceilingDbtp + 0.01);
        EXPECT_GE(report.maxReductionDb, 0.0);
    }
}

TEST(MusicMaster, SilenceStaysSilentAndIsReported)
{
    StereoTrack t;
    t.left.assign(kSampleRate * 2, 0.0f);
    t.right.assign(kSampleRate * 2, 0.0f);
    const MasterReport report = master(t);
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(std::count(t.left.begin(), t.left.end(), 0.0f), kSampleRate * 2);
}

TEST(MusicPcm, ConvertsWithDitherAndCountsClamps)
{
    StereoTrack t;
    t.left = {0.0f, 0.5f, -0.5f, 1.5f, -2.0f};
    t.right = {0.25f, 0.9f, -0.9f, 0.0f, 0.0f};
    int64_t clipped = -1;
    const std::vector<int16_t> pcm = toPcm16(t, 42, &clipped);
    ASSERT_EQ(pcm.size(), 10u);
    EXPECT_EQ(clipped, 2); // the 1.5 and the -2.0
    EXPECT_NEAR(pcm[0], 0, 1);
    EXPECT_NEAR(pcm[1], 8192, 1);
    EXPECT_NEAR(pcm[2], 16384, 1);
    EXPECT_EQ(pcm[6], 32767);
    EXPECT_EQ(pcm[8], -32768);
    EXPECT_EQ(pcm, toPcm16(t, 42)); // the dither is seeded, never random
}
