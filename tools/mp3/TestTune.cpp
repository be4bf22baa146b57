#include "mp3/TestTune.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mp3 {

namespace {

constexpr double beatsPerBar = 4.0;
constexpr double fadeIn = 0.01;   // seconds: no click at sample 0
constexpr double fadeOut = 0.5;   // seconds

// A minor, F, C, G: one chord a bar, as MIDI notes.
constexpr int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55}, {55, 59, 62}};

double noteHz(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// A soft saw: the first four harmonics only, so the MP3 has something tonal to keep.
double softSaw(double phase)
{
    double v = 0.0;
    for (int h = 1; h <= 4; ++h)
        v += std::sin(2.0 * std::numbers::pi * h * phase) / h;
    return v * 0.5;
}

// Deterministic white noise in [-1, 1] from the sample index.
double noise(std::uint64_t n)
{
    std::uint64_t x = n * 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 32;
    return static_cast<double>(x & 0xFFFFFF) / 8388607.5 - 1.0;
}

} // namespace

std::vector<std::int16_t> makeTestTune(double seconds, int sampleRate, int channels)
{
    if (!(seconds > 0.0) || sampleRate <= 0)
        return {};
    channels = channels == 1 ? 1 : 2;
    const std::size_t frames = static_cast<std::size_t>(std::llround(seconds * sampleRate));
    std::vector<std::int16_t> out(frames * channels);
    const double beat = 60.0 / testTuneBpm;
    const double bar = beat * beatsPerBar;
    const double total = static_cast<double>(frames) / sampleRate;

    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double inBeat = std::fmod(t, beat);
        const long beatIndex = static_cast<long>(t / beat);
        const int chord = static_cast<int>(static_cast<long>(t / bar) % 4);
        const double inBar = std::fmod(t, bar);

        // Kick: a falling sine on every beat.
        const double kickHz = 45.0 + 75.0 * std::exp(-inBeat * 30.0);
        const double kick = std::sin(2.0 * std::numbers::pi * kickHz * inBeat) * std::exp(-inBeat * 9.0);

        // Snare on beats two and four: noise over a short tone.
        double snare = 0.0;
        if (beatIndex % 2 == 1)
            snare = (0.6 * noise(i) + 0.4 * std::sin(2.0 * std::numbers::pi * 185.0 * inBeat)) *
                    std::exp(-inBeat * 22.0);

        // Hi-hat on the off-beat eighths: differenced noise, a crude high-pass.
        const double inEighth = std::fmod(t, beat / 2.0);
        const bool offBeat = inBeat >= beat / 2.0;
        const double hat =
            offBeat ? (noise(i) - noise(i + 1)) * 0.5 * std::exp(-inEighth * 60.0) : 0.0;

        // Bass: the chord's root an octave down, on eighths.
        const double bassHz = noteHz(chords[chord][0] - 24);
        const double bass = softSaw(bassHz * t) * std::min(1.0, inEighth * 200.0) *
                            std::exp(-inEighth * 4.0);

        // Pad: the three chord notes, swelling in over each bar, spread left to right.
        const double swell = std::min(1.0, inBar / 0.3);
        double padL = 0.0;
        double padR = 0.0;
        for (int v = 0; v < 3; ++v) {
            const double s = softSaw(noteHz(chords[chord][v]) * t) * swell;
            const double pan = 0.25 + 0.25 * v;
            padL += s * (1.0 - pan);
            padR += s * pan;
        }

        const double env = std::min({1.0, t / fadeIn, (total - t) / fadeOut});
        const double center = 0.45 * kick + 0.18 * snare + 0.08 * hat + 0.22 * bass;
        const double left = env * (center + 0.12 * padL);
        const double right = env * (center + 0.12 * padR);
        auto toPcm = [](double v) {
            return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32000.0));
        };
        if (channels == 1) {
            out[i] = toPcm(0.5 * (left + right));
        } else {
            out[2 * i] = toPcm(left);
            out[2 * i + 1] = toPcm(right);
        }
    }
    return out;
}

} // namespace mp3
