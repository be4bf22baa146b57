// The drum one-shots of the generated track.
#include "music/Drums.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "music/Dsp.h"

namespace assetgen::music {

namespace {

// Raised-cosine fade over the last `frames` samples, so no one-shot ends in a step.
void fadeTail(Sample& s, int frames)
{
    frames = std::min<int>(frames, int(s.size()));
    for (int i = 0; i < frames; ++i) {
        const double t = double(i + 1) / frames;
        s[s.size() - frames + i] *= float(0.5 + 0.5 * std::cos(std::numbers::pi * t));
    }
}

int frames(double seconds) { return int(seconds * kSampleRate); }

// A one-shot `seconds` long: voice(t) at each sample's time t, in order, then the fade
// over the last fadeSeconds.
template <class Voice>
Sample oneShot(double seconds, double fadeSeconds, Voice&& voice)
{
    Sample s(size_t(frames(seconds)));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = voice(double(i) / kSampleRate);
    fadeTail(s, frames(fadeSeconds));
    return s;
}

// The metallic part of a hat: six square waves at the classic inharmonic ratios.
float metal(double t)
{
    static constexpr double kHz[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    float sum = 0.0f;
    for (double hz : kHz)
        sum += std::fmod(t * hz * 1.7, 1.0) < 0.5 ? 1.0f : -1.0f;
    return sum / 6.0f;
}

} // namespace

Sample renderKick()
{
    // Shorter than a beat (0.4 s), so consecutive kicks never overlap.
    Rng rng(0x6b69636bull);
    Biquad clickFilter = Biquad::highPass(1800.0, 0.7);
    double phase = 0.0;
    const float drive = 1.6f;
    const float norm = 1.0f / std::tanh(drive);
    Sample s = oneShot(0.38, 0.05, [&](double t) {
        const double hz = 46.0 + 110.0 * std::exp(-t / 0.032) + 190.0 * std::exp(-t / 0.0035);
        phase += hz / kSampleRate;
        const double attack = std::min(1.0, t / 0.0006);
        const double amp = attack * (t < 0.012 ? 1.0 : std::exp(-(t - 0.012) / 0.11));
        const double body = std::sin(2.0 * std::numbers::pi * phase) * amp;
        const double click = clickFilter.process(rng.bipolar()) * 0.22 * std::exp(-t / 0.0018);
        return std::tanh(drive * float(body + click)) * norm;
    });
    // Full scale at its loudest, so the mix level alone sets how loud it plays.
    float peak = 0.0f;
    for (float v : s)
        peak = std::max(peak, std::abs(v));
    for (float& v : s)
        v /= peak;
    return s;
}

Sample renderHat(bool open, uint64_t seed)
{
    Rng rng(seed);
    Biquad band = Biquad::bandPass(open ? 6500.0 : 8000.0, 0.6);
    Biquad high = Biquad::highPass(open ? 4500.0 : 5500.0, 0.7);
    Biquad air = Biquad::lowPass(13000.0, 0.7);
    const double decay = open ? 0.085 : 0.016;
    return oneShot(open ? 0.32 : 0.09, 0.02, [&](double t) {
        const double attack = std::min(1.0, t / (open ? 0.004 : 0.0008));
        const double env = attack * std::exp(-t / decay);
        const double raw = 0.65 * rng.bipolar() + 0.35 * metal(t);
        return float(air.process(high.process(band.process(raw))) * env * 1.6);
    });
}

Sample renderShaker(uint64_t seed)
{
    Rng rng(seed);
    Biquad band = Biquad::bandPass(6200.0, 1.1);
    return oneShot(0.07, 0.015, [&](double t) {
        const double env = std::min(1.0, t / 0.006) * std::exp(-t / 0.022);
        return float(band.process(rng.bipolar()) * env * 1.8);
    });
}

Sample renderRim(uint64_t seed)
{
    Rng rng(seed);
    Biquad band = Biquad::bandPass(2900.0, 2.5);
    return oneShot(0.08, 0.01, [&](double t) {
        const double tone = 0.6 * std::sin(2.0 * std::numbers::pi * 1720.0 * t)
                            + 0.5 * std::sin(2.0 * std::numbers::pi * 487.0 * t);
        const double env = std::min(1.0, t / 0.0004) * std::exp(-t / 0.011);
        const double click = band.process(rng.bipolar()) * std::exp(-t / 0.004);
        return float((tone * env + click * 1.5) * 0.7);
    });
}

void mixSample(const Sample& sample, int64_t start, float gainL, float gainR, std::vector<float>& left,
               std::vector<float>& right)
{
    const int64_t end =
        std::min<int64_t>(start + int64_t(sample.size()), int64_t(std::min(left.size(), right.size())));
    for (int64_t i = std::max<int64_t>(start, 0); i < end; ++i) {
        left[size_t(i)] += sample[size_t(i - start)] * gainL;
        right[size_t(i)] += sample[size_t(i - start)] * gainR;
    }
}

void mixSample(const Sample& sample, int64_t start, float gain, std::vector<float>& bus)
{
    const int64_t end = std::min<int64_t>(start + int64_t(sample.size()), int64_t(bus.size()));
    for (int64_t i = std::max<int64_t>(start, 0); i < end; ++i)
        bus[size_t(i)] += sample[size_t(i - start)] * gain;
}

} // namespace assetgen::music
