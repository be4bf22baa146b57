// The dotted-eighth echo of the stabs: a ping-pong delay whose feedback path is band
// limited and softly saturated, so every repeat is darker, thinner and rounder than
// the one before, as on a tape echo. A slow wobble of the delay time adds tape wow.
#pragma once

#include <cstddef>
#include <vector>

#include "music/Dsp.h"

namespace assetgen::music {

class DubDelay {
public:
    explicit DubDelay(int delayFrames);

    // Share of each repeat fed back, clamped below 0.95 so the echo always dies away.
    void setFeedback(float feedback);
    // Mono in, stereo out: the first repeat sounds left, the next right, and so on.
    void process(float in, float& outL, float& outR);

private:
    float read(const std::vector<float>& line, double delay) const;

    std::vector<float> lineL, lineR;
    size_t mask;
    size_t write = 0;
    double delay;
    // The wow's sine as a phasor turned each frame: no sine call per sample.
    double wowC = 1.0, wowS = 0.0, turnC = 1.0, turnS = 0.0;
    float feedback = 0.5f;
    OnePoleHighPass lowCutL, lowCutR;
    OnePoleLowPass highCutL, highCutR;
};

} // namespace assetgen::music
