// Vinyl crackle, hiss and the break's noise riser.
#include "music/NoiseLayers.h"

#include <cmath>
#include <numbers>

#include "music/Arrangement.h"
#include "music/Dsp.h"

namespace assetgen::music {

namespace {

constexpr int kLevelUpdate = 64;

// One channel of a worn record: sparse clicks of mostly small size, a rare louder pop,
// and hiss that swells a little once per turn of the platter (33 1/3 rpm).
class VinylChannel {
public:
    explicit VinylChannel(uint64_t seed) : rng(seed)
    {
        clickTone.set(2600.0, 0.35);
        popBody.set(900.0);
        hissLow.set(7000.0);
        hissHigh.set(1200.0);
    }

    float next(double seconds)
    {
        float impulse = 0.0f;
        const float u = rng.uniform();
        if (u < kClickRate / kSampleRate) {
            const float size = rng.uniform();
            impulse = (rng.uniform() < 0.5f ? -1.0f : 1.0f) * size * size * size * size;
        }
        float pop = 0.0f;
        if (u > 1.0f - kPopRate / kSampleRate)
            pop = (rng.uniform() < 0.5f ? -1.0f : 1.0f) * (0.5f + 0.5f * rng.uniform());
        const float clicks = clickTone.bandPass(impulse) * 1.2f + impulse * 0.25f;
        const float pops = popBody.process(pop) * 1.6f;
        const double turn = 0.85 + 0.15 * std::sin(2.0 * std::numbers::pi * seconds * (100.0 / 180.0));
        const float hiss = hissHigh.process(hissLow.process(rng.bipolar())) * float(turn) * 0.03f;
        return clicks + pops + hiss;
    }

private:
    static constexpr float kClickRate = 14.0f; // per second
    static constexpr float kPopRate = 0.35f;
    Rng rng;
    Svf clickTone;
    OnePoleLowPass popBody;
    OnePoleLowPass hissLow;
    OnePoleHighPass hissHigh;
};

} // namespace

void renderCrackle(Buses& buses)
{
    VinylChannel left(0x766e4cull), right(0x766e52ull);
    float level = 0.0f;
    for (int64_t i = 0; i < buses.frames(); ++i) {
        if (i % kLevelUpdate == 0)
            level = levelsAt(double(i) / kFramesPerBar).crackle * 0.16f;
        const double seconds = double(i) / kSampleRate;
        buses.dryL[size_t(i)] += left.next(seconds) * level;
        buses.dryR[size_t(i)] += right.next(seconds) * level;
    }
}

void renderRiser(Buses& buses)
{
    Rng rng(0x72697365ull);
    Svf bandL, bandR;
    float level = 0.0f, gain = 0.0f;
    // The riser stops dead before the drop; a 5 ms glide keeps that stop free of a click.
    const float glide = 1.0f - decayPerSample(0.005);
    for (int64_t i = 0; i < buses.frames(); ++i) {
        if (i % kLevelUpdate == 0) {
            level = levelsAt(double(i) / kFramesPerBar).riser;
            // The sweep follows the level: from 300 Hz when it starts to 7 kHz at its top.
            const double hz = 300.0 * std::pow(7000.0 / 300.0, double(level));
            bandL.set(hz, 0.3);
            bandR.set(hz * 1.06, 0.3);
        }
        gain += (level * level * 0.4f - gain) * glide;
        if (level <= 0.0f && gain < 1e-6f)
            continue;
        const float l = bandL.bandPass(rng.bipolar()) * gain;
        const float r = bandR.bandPass(rng.bipolar()) * gain;
        buses.duckL[size_t(i)] += l;
        buses.duckR[size_t(i)] += r;
        buses.reverbSend[size_t(i)] += 0.5f * (l + r);
    }
}

} // namespace assetgen::music
