// Noise source and filter designs for the music generator.
#include "music/Dsp.h"

#include <algorithm>
#include <complex>
#include <numbers>

namespace assetgen::music {

Rng::Rng(uint64_t seed)
{
    // splitmix64 spreads small seeds over the whole state; xorshift must never hold 0.
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    state = (z ^ (z >> 31)) | 1ull;
}

uint32_t Rng::next()
{
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return uint32_t((state * 0x2545F4914F6CDD1Dull) >> 32);
}

float Rng::uniform() { return float(next() >> 8) * (1.0f / 16777216.0f); }

float Rng::bipolar() { return uniform() * 2.0f - 1.0f; }

float Rng::triangular() { return uniform() - uniform(); }

namespace {

struct Angles {
    double cosW, alpha;
};

Angles angles(double hz, double q)
{
    const double w0 = 2.0 * std::numbers::pi * std::clamp(hz, 1.0, 0.49 * kSampleRate) / kSampleRate;
    return {std::cos(w0), std::sin(w0) / (2.0 * q)};
}

Biquad normalised(double b0, double b1, double b2, double a0, double a1, double a2)
{
    Biquad f;
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = a1 / a0;
    f.a2 = a2 / a0;
    return f;
}

} // namespace

Biquad Biquad::lowPass(double hz, double q)
{
    const auto [c, alpha] = angles(hz, q);
    return normalised((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highPass(double hz, double q)
{
    const auto [c, alpha] = angles(hz, q);
    return normalised((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandPass(double hz, double q)
{
    const auto [c, alpha] = angles(hz, q);
    return normalised(alpha, 0.0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::peak(double hz, double q, double db)
{
    const auto [c, alpha] = angles(hz, q);
    const double a = std::pow(10.0, db / 40.0);
    return normalised(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
}

double Biquad::magnitudeAt(double hz) const
{
    const std::complex<double> z1inv = std::polar(1.0, -2.0 * std::numbers::pi * hz / kSampleRate);
    const std::complex<double> z2inv = z1inv * z1inv;
    return std::abs((b0 + b1 * z1inv + b2 * z2inv) / (1.0 + a1 * z1inv + a2 * z2inv));
}

void Svf::set(double hz, double resonance)
{
    const double g = std::tan(std::numbers::pi * std::clamp(hz, 10.0, 0.45 * kSampleRate) / kSampleRate);
    k = float(2.0 - 1.96 * std::clamp(resonance, 0.0, 1.0));
    a1 = float(1.0 / (1.0 + g * (g + k)));
    a2 = float(g) * a1;
    a3 = float(g) * a2;
}

void Svf::tick(float x, float& low, float& band)
{
    const float v3 = x - ic2;
    band = a1 * ic1 + a2 * v3;
    low = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0f * band - ic1;
    ic2 = 2.0f * low - ic2;
}

float Svf::lowPass(float x)
{
    float low, band;
    tick(x, low, band);
    return low;
}

float Svf::bandPass(float x)
{
    float low, band;
    tick(x, low, band);
    return band;
}

void Saw::start(double hz, double phase0)
{
    phase = phase0 - std::floor(phase0);
    setHz(hz);
}

float Saw::next()
{
    // polyBLEP: a two-sample polynomial correction around each wrap of the phase.
    double value = 2.0 * phase - 1.0;
    if (phase < step) {
        const double t = phase / step;
        value -= t + t - t * t - 1.0;
    } else if (phase > 1.0 - step) {
        const double t = (phase - 1.0) / step;
        value -= t * t + t + t + 1.0;
    }
    phase += step;
    if (phase >= 1.0)
        phase -= 1.0;
    return float(value);
}

} // namespace assetgen::music
