// A lush hall for the stabs and pads: a feedback delay network of eight lines mixed by
// a Hadamard matrix, fed through a pre-delay and a chain of allpass diffusers. Each
// line loses high frequencies on every pass, so the tail darkens as it decays, and each
// line's length sways slowly, which smears the room's resonances instead of letting a
// held chord ring one of them.
#pragma once

#include <array>
#include <vector>

#include "music/Dsp.h"

namespace assetgen::music {

class Reverb {
public:
    // `decaySeconds`: time for the tail to fall by 60 dB at low frequencies.
    // `dampingHz`: corner of the per-pass high-frequency loss.
    Reverb(double decaySeconds, double dampingHz);

    // Mono in, stereo out (the two outputs take different lines, so they decorrelate).
    void process(float in, float& outL, float& outR);

private:
    struct Line {
        std::vector<float> buffer;
        size_t index = 0;
        float read() const { return buffer[index]; }
        void write(float x)
        {
            buffer[index] = x;
            if (++index == buffer.size())
                index = 0;
        }
    };
    struct Allpass {
        Line line;
        float gain;
        float process(float x);
    };
    // A delay line whose length moves along a slow sine (a phasor turned each frame).
    struct SwayingLine {
        std::vector<float> buffer;
        size_t mask = 0;
        size_t write = 0;
        double length = 0.0, depth = 0.0;
        double c = 1.0, s = 0.0, turnC = 1.0, turnS = 0.0;
        void init(int frames, double swayFrames, double hz);
        float read();
        void push(float x)
        {
            buffer[write] = x;
            write = (write + 1) & mask;
        }
    };

    static constexpr int kLines = 8;
    Line preDelay;
    std::array<Allpass, 4> diffusers;
    std::array<SwayingLine, kLines> lines;
    std::array<float, kLines> loopGain;
    std::array<OnePoleLowPass, kLines> damping;
    OnePoleHighPass inputLowCut;
};

} // namespace assetgen::music
