// Stab, pad and sub-bass voices.
#include "music/Synths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "music/Dsp.h"

namespace assetgen::music {

namespace {

constexpr int kFilterUpdate = 16; // frames between cutoff updates of a moving filter

double centsToRatio(double cents) { return std::pow(2.0, cents / 1200.0); }

// Raised-cosine gain for the last `fade` frames before `length`.
float endFade(int64_t i, int64_t length, int64_t fade)
{
    const int64_t left = length - i;
    if (left >= fade)
        return 1.0f;
    if (left <= 0)
        return 0.0f;
    return float(0.5 - 0.5 * std::cos(std::numbers::pi * double(left) / double(fade)));
}

double barOf(int64_t frame) { return double(frame) / kFramesPerBar; }

} // namespace

void renderStab(const Chord& chord, const StabNote& note, Buses& buses)
{
    constexpr int64_t kLength = kSampleRate / 2;
    const int64_t length = std::min<int64_t>(kLength, buses.frames() - note.start);
    if (length <= 0 || note.start < 0)
        return;

    Rng rng(note.seed);
    constexpr size_t kNotes = std::tuple_size_v<decltype(chord.notes)>;
    std::array<Saw, kNotes> left, right;
    for (size_t n = 0; n < kNotes; ++n) {
        const double hz = midiToHz(chord.notes[n]);
        const double spread = 6.0 + 3.0 * rng.uniform();
        left[n].start(hz * centsToRatio(-spread), rng.uniform());
        right[n].start(hz * centsToRatio(spread), rng.uniform());
    }

    Svf filterL, filterR;
    const float decay = decayPerSample(0.14);
    const float filterDecay = decayPerSample(0.05);
    const int64_t attack = kSampleRate / 500;
    const int64_t fade = kSampleRate / 25;
    float env = 1.0f, filterEnv = 1.0f;
    const float gain = note.velocity * 0.5f;
    for (int64_t i = 0; i < length; ++i) {
        if (i % kFilterUpdate == 0) {
            const double cutoff = note.cutoffHz * (1.0 + 1.6 * filterEnv);
            filterL.set(cutoff, 0.5);
            filterR.set(cutoff, 0.5);
        }
        float sumL = 0.0f, sumR = 0.0f;
        for (size_t n = 0; n < kNotes; ++n) {
            sumL += left[n].next();
            sumR += right[n].next();
        }
        const float amp = gain * env * std::min(1.0f, float(i) / attack) * endFade(i, kLength, fade);
        const float outL = filterL.lowPass(sumL) * amp;
        const float outR = filterR.lowPass(sumR) * amp;
        const size_t at = size_t(note.start + i);
        buses.duckL[at] += outL;
        buses.duckR[at] += outR;
        const float mid = 0.5f * (outL + outR);
        buses.delaySend[at] += mid * note.delaySend;
        buses.reverbSend[at] += mid * note.reverbSend;
        if (i >= attack)
            env *= decay;
        filterEnv *= filterDecay;
    }
}

void renderPad(const Chord& chord, int64_t start, int64_t length, uint64_t seed, Buses& buses)
{
    const int64_t release = kSampleRate;
    const int64_t total = std::min<int64_t>(length + release, buses.frames() - start);
    if (total <= 0 || start < 0)
        return;

    Rng rng(seed);
    constexpr size_t kNotes = std::tuple_size_v<decltype(chord.notes)>;
    std::array<Saw, kNotes> left, right;
    for (size_t n = 0; n < kNotes; ++n) {
        const double hz = midiToHz(chord.notes[n] - 12);
        left[n].start(hz * centsToRatio(-9.0), rng.uniform());
        right[n].start(hz * centsToRatio(9.0), rng.uniform());
    }

    Svf filterL, filterR;
    const int64_t attack = kSampleRate * 7 / 10;
    float level = 0.0f;
    for (int64_t i = 0; i < total; ++i) {
        const int64_t at = start + i;
        if (i % kFilterUpdate == 0) {
            // A slow sweep (one cycle every eight bars) keeps the held chord moving.
            const double bar = barOf(at);
            const double cutoff = 520.0 * (1.0 + 0.35 * std::sin(2.0 * std::numbers::pi * bar / 8.0));
            filterL.set(cutoff, 0.25);
            filterR.set(cutoff, 0.25);
            level = levelsAt(bar).pad * 0.22f;
        }
        float sumL = 0.0f, sumR = 0.0f;
        for (size_t n = 0; n < kNotes; ++n) {
            sumL += left[n].next();
            sumR += right[n].next();
        }
        float amp = level * std::min(1.0f, float(i) / attack);
        if (i >= length)
            amp *= float(0.5 + 0.5 * std::cos(std::numbers::pi * double(i - length) / double(release)));
        const float outL = filterL.lowPass(sumL) * amp;
        const float outR = filterR.lowPass(sumR) * amp;
        buses.duckL[size_t(at)] += outL;
        buses.duckR[size_t(at)] += outR;
        buses.reverbSend[size_t(at)] += 0.5f * (outL + outR) * 0.6f;
    }
}

void renderBass(int midiNote, int64_t start, int64_t length, float velocity, Buses& buses)
{
    const int64_t release = kSampleRate / 50;
    const int64_t total = std::min<int64_t>(length + release, buses.frames() - start);
    if (total <= 0 || start < 0)
        return;
    const double hz = midiToHz(midiNote);
    const int64_t attack = kSampleRate / 200;
    const float slide = decayPerSample(0.012);
    float bend = 1.0f;
    double phase = 0.0;
    for (int64_t i = 0; i < total; ++i) {
        phase += hz * (1.0 + 0.04 * bend) / kSampleRate;
        bend *= slide;
        const double angle = 2.0 * std::numbers::pi * phase;
        const float tone = float(std::sin(angle) + 0.12 * std::sin(2.0 * angle));
        float amp = velocity * std::min(1.0f, float(i) / attack);
        if (i >= length)
            amp *= 1.0f - float(i - length) / float(release);
        const float out = std::tanh(1.2f * tone) * amp * 0.3f;
        buses.duckL[size_t(start + i)] += out;
        buses.duckR[size_t(start + i)] += out;
    }
}

} // namespace assetgen::music
