// The loudness and true-peak meter against signals whose readings follow from the
// definitions: BS.1770's 48 kHz filter table and calibration tone, and the EBU
// Tech 3341 style gating programmes (their expected values are worked out below).
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

#include "music/Loudness.h"

using namespace assetgen::music;

namespace {

struct Programme {
    std::vector<float> left, right;
};

// Appends `seconds` of a sine at `dbfs` to the chosen channels (the other gets silence).
void appendSine(Programme& p, double sampleRate, double hz, double dbfs, double seconds, bool left = true,
                bool right = true)
{
    const double amplitude = std::pow(10.0, dbfs / 20.0);
    const size_t frames = size_t(std::lround(seconds * sampleRate));
    const size_t offset = p.left.size();
    for (size_t i = 0; i < frames; ++i) {
        const float v =
            float(amplitude * std::sin(2.0 * std::numbers::pi * hz * double(offset + i) / sampleRate));
        p.left.push_back(left ? v : 0.0f);
        p.right.push_back(right ? v : 0.0f);
    }
}

struct Passage {
    double dbfs;
    double seconds;
};

// Integrated loudness of 1 kHz stereo sine passages played one after another.
double loudnessOf(std::initializer_list<Passage> passages)
{
    Programme p;
    for (const Passage& passage : passages)
        appendSine(p, kSampleRate, 1000.0, passage.dbfs, passage.seconds);
    return integratedLoudness(p.left, p.right);
}

} // namespace

TEST(MusicLoudness, KWeightingAt48kHzMatchesTheStandardsTable)
{
    const KWeighting k(48000.0);
    EXPECT_NEAR(k.shelf.b0, 1.53512485958697, 1e-9);
    EXPECT_NEAR(k.shelf.b1, -2.69169618940638, 1e-9);
    EXPECT_NEAR(k.shelf.b2, 1.19839281085285, 1e-9);
    EXPECT_NEAR(k.shelf.a1, -1.69065929318241, 1e-9);
    EXPECT_NEAR(k.shelf.a2, 0.73248077421585, 1e-9);
    EXPECT_DOUBLE_EQ(k.highPass.b0, 1.0);
    EXPECT_DOUBLE_EQ(k.highPass.b1, -2.0);
    EXPECT_DOUBLE_EQ(k.highPass.b2, 1.0);
    EXPECT_NEAR(k.highPass.a1, -1.99004745483398, 1e-9);
    EXPECT_NEAR(k.highPass.a2, 0.99007225036621, 1e-9);
}

TEST(MusicLoudness, CalibrationToneInOneChannelReadsMinus3Point01)
{
    // BS.1770: a 0 dBFS 997 Hz sine in one front channel reads -3.01 LKFS.
    for (double rate : {48000.0, 44100.0}) {
        Programme p;
        appendSine(p, rate, 997.0, 0.0, 10.0, true, false);
        EXPECT_NEAR(integratedLoudness(p.left, p.right, rate), -3.01, 0.05) << rate;
    }
}

TEST(MusicLoudness, StereoSineReadsItsLevelPerChannel)
{
    // Two channels at -23 dBFS each: -3.01 dB for the sine's mean square, +3.01 dB for
    // the second channel, so the reading equals the per-channel level.
    for (double level : {-23.0, -33.0, -14.0}) {
        EXPECT_NEAR(loudnessOf({{level, 20.0}}), level, 0.1) << level;
    }
}

TEST(MusicLoudness, RelativeGateDropsQuietPassages)
{
    // -36 / -23 / -36 dBFS for 10 / 60 / 10 s: the -36 blocks are 13 LU under the
    // ungated mean, below the relative gate, so only the -23 part counts.
    EXPECT_NEAR(loudnessOf({{-36.0, 10.0}, {-23.0, 60.0}, {-36.0, 10.0}}), -23.0, 0.1);
}

TEST(MusicLoudness, AbsoluteGateDropsNearSilence)
{
    // 10 s at -60 dBFS, then 30 s at -75. Ungated, the mean is -65.6 and the relative
    // gate -75.6 would let the -75 blocks in; the -70 LUFS absolute gate removes them
    // first, so the reading is the -60 part alone.
    EXPECT_NEAR(loudnessOf({{-60.0, 10.0}, {-75.0, 30.0}}), -60.0, 0.1);
}

TEST(MusicLoudness, PassagesInsideTheGateAreAveragedByPower)
{
    // -26 / -20 / -26 dBFS for 20 / 20.1 / 20 s: all blocks pass the gate, and the power
    // mean (40 s at 10^-2.6, 20.1 s at 10^-2) is 10^-2.3, so -23.0.
    EXPECT_NEAR(loudnessOf({{-26.0, 20.0}, {-20.0, 20.1}, {-26.0, 20.0}}), -23.0, 0.1);
}

TEST(MusicLoudness, NoGatedBlockReadsMinusInfinity)
{
    Programme silent;
    silent.left.assign(kSampleRate * 5, 0.0f);
    silent.right.assign(kSampleRate * 5, 0.0f);
    EXPECT_TRUE(std::isinf(integratedLoudness(silent.left, silent.right)));

    EXPECT_TRUE(std::isinf(loudnessOf({{-10.0, 0.35}}))); // under one 400 ms block

    const std::vector<float> none;
    EXPECT_TRUE(std::isinf(integratedLoudness(none, none)));
}

TEST(MusicLoudness, UnequalChannelLengthsUseTheCommonPart)
{
    Programme p;
    appendSine(p, kSampleRate, 1000.0, -20.0, 10.0);
    p.left.resize(p.left.size() + kSampleRate * 3, 0.9f);
    EXPECT_NEAR(integratedLoudness(p.left, p.right), -20.0, 0.1);
    const TruePeakFilter meter;
    EXPECT_EQ(meter.envelope(p.left, p.right).size(), p.right.size());
}

TEST(MusicTruePeak, FindsThePeakBetweenSamples)
{
    // A full-scale sine at a quarter of the sample rate, sampled 45 degrees off its
    // crests: every sample is at 0.707 (-3.01 dBFS), the wave itself reaches 0 dBTP.
    Programme p;
    for (int i = 0; i < 4096; ++i) {
        const float v = float(std::sin(std::numbers::pi / 2.0 * i + std::numbers::pi / 4.0));
        p.left.push_back(v);
        p.right.push_back(0.0f);
    }
    EXPECT_NEAR(samplePeakDb(p.left, p.right), -3.01, 0.01);
    // Away from the abrupt start and end, which are not band-limited and really do
    // overshoot between samples.
    const TruePeakFilter meter;
    std::vector<float> env = meter.envelope(p.left, p.right);
    env = std::vector<float>(env.begin() + 100, env.end() - 100);
    EXPECT_NEAR(peakDb(env), 0.0, 0.01);
}

TEST(MusicTruePeak, LowFrequenciesReadTheirAmplitude)
{
    Programme p;
    appendSine(p, kSampleRate, 1000.0, -6.0, 1.0, false, true);
    const TruePeakFilter meter;
    EXPECT_NEAR(peakDb(meter.envelope(p.left, p.right)), -6.0, 0.02);

    // A constant reads itself: every phase of the interpolator has unity gain.
    const std::vector<float> dc(1000, 0.25f);
    const std::vector<float> env = meter.envelope(dc, dc);
    EXPECT_NEAR(env[500], 0.25f, 1e-4f);
}

TEST(MusicTruePeak, EmptyProgrammeHasNoPeak)
{
    const TruePeakFilter meter;
    const std::vector<float> none;
    EXPECT_TRUE(meter.envelope(none, none).empty());
    EXPECT_LT(peakDb({}), -900.0);
}
