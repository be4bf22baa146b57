// Ping-pong tape-style echo.
#include "music/DubDelay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen::music {

namespace {

constexpr double kWowHz = 0.21;
constexpr double kWowFrames = 5.0; // +-0.1 ms of delay time: a gentle pitch drift

size_t powerOfTwoAbove(size_t n)
{
    size_t size = 1;
    while (size < n)
        size <<= 1;
    return size;
}

} // namespace

DubDelay::DubDelay(int delayFrames)
    : delay(std::max(delayFrames, 8))
{
    const size_t size = powerOfTwoAbove(size_t(delay + kWowFrames + 4));
    lineL.assign(size, 0.0f);
    lineR.assign(size, 0.0f);
    mask = size - 1;
    turnC = std::cos(2.0 * std::numbers::pi * kWowHz / kSampleRate);
    turnS = std::sin(2.0 * std::numbers::pi * kWowHz / kSampleRate);
    lowCutL.set(320.0);
    lowCutR.set(320.0);
    highCutL.set(2600.0);
    highCutR.set(2600.0);
}

void DubDelay::setFeedback(float value) { feedback = std::clamp(value, 0.0f, 0.95f); }

float DubDelay::read(const std::vector<float>& line, double frames) const
{
    const double position = double(write) - frames;
    const double whole = std::floor(position);
    const float frac = float(position - whole);
    const size_t i0 = size_t(int64_t(whole)) & mask;
    const size_t i1 = (i0 + 1) & mask;
    return line[i0] + (line[i1] - line[i0]) * frac;
}

void DubDelay::process(float in, float& outL, float& outR)
{
    const double nextC = wowC * turnC - wowS * turnS;
    wowS = wowS * turnC + wowC * turnS;
    const double norm = 1.5 - 0.5 * (nextC * nextC + wowS * wowS); // stay on the unit circle
    wowC = nextC * norm;
    wowS *= norm;
    const double frames = delay + kWowFrames * wowS;
    const float tapL = read(lineL, frames);
    const float tapR = read(lineR, frames);
    // Each channel's repeat feeds the other: left, right, left... The tanh keeps loud
    // repeats from building up and warms them like an overdriven tape head.
    const float toR = softClip(highCutL.process(lowCutL.process(tapL)) * feedback);
    const float toL = softClip(highCutR.process(lowCutR.process(tapR)) * feedback);
    lineL[write] = in + toL;
    lineR[write] = toR;
    write = (write + 1) & mask;
    outL = tapL;
    outR = tapR;
}

} // namespace assetgen::music
