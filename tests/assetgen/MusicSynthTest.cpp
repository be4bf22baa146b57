// The voices and effects of the generated music, each on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "music/Arrangement.h"
#include "music/Buses.h"
#include "music/Drums.h"
#include "music/DubDelay.h"
#include "music/Dsp.h"
#include "music/Reverb.h"
#include "music/Synths.h"

using namespace assetgen::music;

namespace {

// Power of `x` at `hz` by the Goertzel recurrence, per sample.
double powerAt(const std::vector<float>& x, double hz)
{
    const double c = 2.0 * std::cos(2.0 * std::numbers::pi * hz / kSampleRate);
    double s1 = 0.0, s2 = 0.0;
    for (float v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - c * s1 * s2) / double(x.size() * x.size());
}

double energy(const std::vector<float>& x, size_t from, size_t to)
{
    double e = 0.0;
    for (size_t i = from; i < std::min(to, x.size()); ++i)
        e += double(x[i]) * x[i];
    return e;
}

bool allFinite(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v); });
}

} // namespace

TEST(MusicDsp, RngIsSeededAndInRange)
{
    Rng a(1), b(1), c(2);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const float u = a.uniform();
        EXPECT_EQ(u, b.uniform());
        differs = differs || u != c.uniform();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
    }
    EXPECT_TRUE(differs);
}

TEST(MusicDsp, FilterDesignsHaveTheirCornerGains)
{
    EXPECT_NEAR(gainToDb(Biquad::lowPass(1000.0, std::sqrt(0.5)).magnitudeAt(1000.0)), -3.01, 0.05);
    EXPECT_NEAR(gainToDb(Biquad::lowPass(1000.0, std::sqrt(0.5)).magnitudeAt(50.0)), 0.0, 0.05);
    EXPECT_NEAR(gainToDb(Biquad::highPass(24.0, std::sqrt(0.5)).magnitudeAt(24.0)), -3.01, 0.05);
    EXPECT_NEAR(gainToDb(Biquad::bandPass(3000.0, 2.0).magnitudeAt(3000.0)), 0.0, 0.05);
    EXPECT_NEAR(gainToDb(Biquad::peak(500.0, 1.0, 6.0).magnitudeAt(500.0)), 6.0, 0.05);
}

TEST(MusicDrums, KickIsDeepShortAndEndsInSilence)
{
    const Sample kick = renderKick();
    EXPECT_LT(kick.size(), size_t(kFramesPerBeat)); // kicks on successive beats never overlap
    EXPECT_LE(*std::max_element(kick.begin(), kick.end()), 1.0f);
    EXPECT_EQ(kick.back(), 0.0f);
    // Most of its energy sits around the 46-60 Hz body, far above its 1 kHz content.
    EXPECT_GT(powerAt(kick, 50.0), 100.0 * powerAt(kick, 1000.0));
    // It decays: the last quarter holds far less than the first.
    EXPECT_GT(energy(kick, 0, kick.size() / 4), 50.0 * energy(kick, kick.size() * 3 / 4, kick.size()));
}

TEST(MusicDrums, HatsAreBrightAndOpenOnesRingLonger)
{
    const Sample closed = renderHat(false, 1), open = renderHat(true, 1);
    EXPECT_GT(open.size(), 2 * closed.size());
    EXPECT_GT(powerAt(open, 8000.0), 100.0 * powerAt(open, 200.0));
    EXPECT_NE(renderHat(true, 1), renderHat(true, 2)); // variants differ
    EXPECT_EQ(renderHat(true, 3), renderHat(true, 3));
    EXPECT_EQ(closed.back(), 0.0f);
}

TEST(MusicDrums, MixingIsClippedToTheBuffer)
{
    const Sample s(100, 1.0f);
    std::vector<float> left(50, 0.0f), right(50, 0.0f), send(50, 0.0f);
    mixSample(s, -30, 0.5f, 0.25f, left, right); // starts before the buffer
    mixSample(s, 40, 1.0f, send);                 // runs past its end
    EXPECT_FLOAT_EQ(left[0], 0.5f);
    EXPECT_FLOAT_EQ(right[49], 0.25f);
    EXPECT_FLOAT_EQ(send[39], 0.0f);
    EXPECT_FLOAT_EQ(send[49], 1.0f);
    std::vector<float> shortRight(10, 0.0f);
    mixSample(s, 0, 1.0f, 1.0f, left, shortRight); // unequal channels: the shorter rules
    EXPECT_FLOAT_EQ(shortRight[9], 1.0f);
}

TEST(MusicEffects, EchoRepeatsEveryDottedEighthAlternatingSides)
{
    const int delay = kFramesPerStep * 3;
    DubDelay echo(delay);
    echo.setFeedback(0.6f);
    std::vector<float> left, right;
    for (int i = 0; i < delay * 4 + 100; ++i) {
        // A short 1 kHz burst: inside the band the feedback path passes.
        const float in = i < 200 ? float(std::sin(2.0 * std::numbers::pi * 1000.0 * i / kSampleRate)) : 0.0f;
        float l, r;
        echo.process(in, l, r);
        left.push_back(l);
        right.push_back(r);
    }
    auto window = [&](const std::vector<float>& x, int repeat) {
        return energy(x, size_t(repeat * delay - 20), size_t(repeat * delay + 240));
    };
    EXPECT_LT(energy(left, 0, size_t(delay - 20)), 1e-12); // nothing before the first repeat
    EXPECT_GT(window(left, 1), 1.0);
    EXPECT_LT(window(right, 1), 1e-6);
    EXPECT_GT(window(right, 2), 0.05);
    EXPECT_LT(window(left, 2), 1e-6);
    EXPECT_GT(window(left, 3), 0.0);
    EXPECT_LT(window(left, 3), window(left, 1) * 0.6); // each round loses level
}

TEST(MusicEffects, EchoFeedbackIsBounded)
{
    DubDelay echo(1000);
    echo.setFeedback(5.0f); // clamped: the echo must still die away
    float l = 0.0f, r = 0.0f;
    for (int i = 0; i < 200000; ++i)
        echo.process(i < 1000 ? 1.0f : 0.0f, l, r);
    EXPECT_LT(std::abs(l) + std::abs(r), 1e-3f);
}

TEST(MusicEffects, ReverbTailDecaysAtItsRate)
{
    Reverb hall(2.0, 6000.0);
    std::vector<float> left, right;
    for (int i = 0; i < kSampleRate * 3; ++i) {
        float l, r;
        hall.process(i < 64 ? 1.0f : 0.0f, l, r);
        left.push_back(l);
        right.push_back(r);
    }
    ASSERT_TRUE(allFinite(left));
    // 60 dB in 2 s: a second centred on 2.0 s is about 45 dB weaker than one centred on
    // 0.5 s. The bounds allow for damping, and still catch a tail that rings on or one
    // that dies twice as fast.
    const double early = energy(left, kSampleRate / 4, kSampleRate * 3 / 4) * 2.0;
    const double late = energy(left, kSampleRate * 3 / 2, kSampleRate * 5 / 2);
    EXPECT_GT(early, 300.0 * late);
    EXPECT_LT(early, 1e6 * late);
    EXPECT_GT(energy(right, 0, right.size()), 0.0);
    EXPECT_NE(left, right); // the two sides take different lines
}

TEST(MusicSynths, StabFillsItsBusesAndStopsAtTheTrackEnd)
{
    Buses buses(kSampleRate);
    StabNote note{0, 1.0f, 1200.0f, 0.5f, 0.25f, 9};
    renderStab(chordAt(0), note, buses);
    EXPECT_GT(energy(buses.duckL, 0, buses.duckL.size()), 0.0);
    EXPECT_GT(energy(buses.delaySend, 0, buses.delaySend.size()), 0.0);
    EXPECT_EQ(energy(buses.dryL, 0, buses.dryL.size()), 0.0);
    EXPECT_NE(buses.duckL, buses.duckR); // detuned differently per side
    EXPECT_EQ(buses.duckL.back(), 0.0f); // half a second long, then silent

    Buses tail(1000);
    note.start = 900; // runs past the end: cut, no write out of range
    renderStab(chordAt(0), note, tail);
    note.start = 5000; // entirely beyond: nothing
    renderStab(chordAt(0), note, tail);
    EXPECT_TRUE(allFinite(tail.duckL));
    EXPECT_EQ(energy(tail.duckL, 0, 900), 0.0);
    EXPECT_GT(energy(tail.duckL, 900, 1000), 0.0);
}

TEST(MusicSynths, BassSitsOnItsRoot)
{
    Buses buses(kSampleRate);
    renderBass(33, 0, kSampleRate / 2, 1.0f, buses); // A1, 55 Hz
    EXPECT_GT(powerAt(buses.duckL, 55.0), 50.0 * powerAt(buses.duckL, 82.0));
    EXPECT_EQ(buses.duckL, buses.duckR); // mono, centred
    EXPECT_EQ(buses.duckL.back(), 0.0f); // released before the buffer ends
    renderBass(33, kSampleRate - 10, kSampleRate, 1.0f, buses); // cut at the end
    renderBass(33, -5, 10, 1.0f, buses);                        // before the start: ignored
    EXPECT_TRUE(allFinite(buses.duckL));
}
