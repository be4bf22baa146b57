// Building blocks shared by every voice and effect of the generated music: the fixed
// sample grid of the tempo, a seeded noise source and the filters. Everything here is
// deterministic: no global state, no library random numbers.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "sync/ShowTime.h"

namespace assetgen::music {

constexpr int kSampleRate = 44100;
// The show's tempo and row grid: the music is written on the rows the show plays it by.
constexpr double kBpm = showtime::beatsPerMinute;
constexpr int kBeatsPerBar = showtime::beatsPerBar;
constexpr int kStepsPerBeat = 4; // sixteenth notes
constexpr int kRowsPerBeat = showtime::rowsPerBeat;
constexpr int kRowsPerBar = showtime::rowsPerBar;
// 150 beats a minute at 44.1 kHz gives whole numbers of frames for every note value
// down to the sixteenth, so the grid never drifts against the show's rows.
constexpr int kFramesPerBeat = 17640;
constexpr int kFramesPerStep = kFramesPerBeat / kStepsPerBeat;
constexpr int kFramesPerBar = kFramesPerBeat * kBeatsPerBar;
static_assert(kFramesPerBeat * kBpm == kSampleRate * 60.0, "beat length must match the tempo");
static_assert(kFramesPerStep * kStepsPerBeat == kFramesPerBeat, "sixteenths must be whole frames");

inline double dbToGain(double db) { return std::pow(10.0, db / 20.0); }
inline double gainToDb(double gain) { return gain > 0.0 ? 20.0 * std::log10(gain) : -1000.0; }
inline double midiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Per-sample multiplier that makes an exponential decay fall by 1/e in `seconds`.
inline float decayPerSample(double seconds) { return float(std::exp(-1.0 / (seconds * kSampleRate))); }

// xorshift64* seeded through splitmix64: fast, and the same sequence on every platform.
class Rng {
public:
    explicit Rng(uint64_t seed);
    uint32_t next();
    float uniform();  // [0, 1)
    float bipolar();  // [-1, 1)
    // Triangular noise in (-1, 1): the sum of two uniforms, for dither.
    float triangular();

private:
    uint64_t state;
};

// Transposed direct form II biquad with coefficients from the analog prototypes.
struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double z1 = 0.0, z2 = 0.0;

    static Biquad lowPass(double hz, double q);
    static Biquad highPass(double hz, double q);
    static Biquad bandPass(double hz, double q); // 0 dB at the centre
    static Biquad peak(double hz, double q, double db);

    double process(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
    void reset() { z1 = z2 = 0.0; }
    // Magnitude of the response at `hz`, for tests and level planning.
    double magnitudeAt(double hz) const;
};

// Trapezoidal state-variable filter: stays stable while its cutoff moves every few
// samples, which a biquad does not.
class Svf {
public:
    void set(double hz, double resonance); // resonance 0 (none) .. 1 (self-oscillation)
    float lowPass(float x);
    float bandPass(float x);
    void reset() { ic1 = ic2 = 0.0f; }

private:
    void tick(float x, float& low, float& band);
    float k = 2.0f, a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
    float ic1 = 0.0f, ic2 = 0.0f;
};

struct OnePoleLowPass {
    float coeff = 0.0f;
    float state = 0.0f;
    void set(double hz) { coeff = float(1.0 - std::exp(-2.0 * std::numbers::pi * hz / kSampleRate)); }
    float process(float x) { return state += coeff * (x - state); }
};

struct OnePoleHighPass {
    OnePoleLowPass low;
    void set(double hz) { low.set(hz); }
    float process(float x) { return x - low.process(x); }
};

// Band-limited sawtooth (polyBLEP): the stabs are bright, so naive saws would fold
// audible aliases back under the filter.
class Saw {
public:
    void start(double hz, double phase0);
    void setHz(double hz) { step = hz / kSampleRate; }
    float next();

private:
    double phase = 0.0;
    double step = 0.0;
};

// Smooth saturation used on the kick and in the delay's feedback path.
inline float softClip(float x) { return std::tanh(x); }

} // namespace assetgen::music
