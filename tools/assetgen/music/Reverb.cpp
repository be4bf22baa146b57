// Feedback-delay-network reverb.
#include "music/Reverb.h"

#include <cmath>
#include <numbers>

namespace assetgen::music {

namespace {

// Line lengths in frames, mutually prime so their echoes do not pile up on a common
// period; 46 to 104 ms, long enough for a large, smooth room.
constexpr std::array<int, 8> kLineFrames = {2039, 2357, 2719, 3089, 3413, 3769, 4111, 4583};
constexpr std::array<int, 4> kDiffuserFrames = {556, 441, 341, 225};
constexpr float kDiffusion = 0.62f;
constexpr int kPreDelayFrames = kSampleRate / 40;
// Sway of each line: +-10 frames at a fraction of a hertz, about a cent of pitch drift.
constexpr double kSwayFrames = 10.0;
constexpr std::array<double, 8> kSwayHz = {0.13, 0.17, 0.21, 0.23, 0.29, 0.31, 0.37, 0.41};

// In-place fast Walsh-Hadamard transform scaled to stay orthogonal (energy preserving).
void hadamard(std::array<float, 8>& v)
{
    for (int span = 1; span < 8; span <<= 1)
        for (int i = 0; i < 8; i += span << 1)
            for (int j = i; j < i + span; ++j) {
                const float a = v[j], b = v[j + span];
                v[j] = a + b;
                v[j + span] = a - b;
            }
    const float scale = 1.0f / std::sqrt(8.0f);
    for (float& x : v)
        x *= scale;
}

} // namespace

float Reverb::Allpass::process(float x)
{
    const float delayed = line.read();
    const float v = x - gain * delayed;
    line.write(v);
    return delayed + gain * v;
}

void Reverb::SwayingLine::init(int frames, double swayFrames, double hz)
{
    size_t size = 1;
    while (size < size_t(frames + swayFrames + 4))
        size <<= 1;
    buffer.assign(size, 0.0f);
    mask = size - 1;
    length = frames;
    depth = swayFrames;
    turnC = std::cos(2.0 * std::numbers::pi * hz / kSampleRate);
    turnS = std::sin(2.0 * std::numbers::pi * hz / kSampleRate);
}

float Reverb::SwayingLine::read()
{
    const double nextC = c * turnC - s * turnS;
    s = s * turnC + c * turnS;
    // Pull the phasor back onto the unit circle so rounding never grows or shrinks it.
    const double norm = 1.5 - 0.5 * (nextC * nextC + s * s);
    c = nextC * norm;
    s *= norm;
    const double position = double(write) - (length + depth * s);
    const double whole = std::floor(position);
    const float frac = float(position - whole);
    const size_t i0 = size_t(int64_t(whole)) & mask;
    const float a = buffer[i0], b = buffer[(i0 + 1) & mask];
    return a + (b - a) * frac;
}

Reverb::Reverb(double decaySeconds, double dampingHz)
{
    preDelay.buffer.assign(kPreDelayFrames, 0.0f);
    for (size_t i = 0; i < diffusers.size(); ++i) {
        diffusers[i].line.buffer.assign(size_t(kDiffuserFrames[i]), 0.0f);
        diffusers[i].gain = kDiffusion;
    }
    for (int i = 0; i < kLines; ++i) {
        lines[i].init(kLineFrames[i], kSwayFrames, kSwayHz[size_t(i)]);
        // A pass through line i takes kLineFrames[i] frames; -60 dB over decaySeconds.
        loopGain[i] = float(std::pow(10.0, -3.0 * kLineFrames[i] / (decaySeconds * kSampleRate)));
        damping[i].set(dampingHz);
    }
    inputLowCut.set(220.0);
}

void Reverb::process(float in, float& outL, float& outR)
{
    float x = preDelay.read();
    preDelay.write(inputLowCut.process(in));
    for (Allpass& d : diffusers)
        x = d.process(x);

    std::array<float, kLines> s;
    for (int i = 0; i < kLines; ++i)
        s[i] = damping[i].process(lines[i].read()) * loopGain[i];
    outL = s[0] - s[2] + s[4] - s[6] + 0.5f * (s[1] - s[5]);
    outR = s[1] - s[3] + s[5] - s[7] + 0.5f * (s[2] - s[6]);

    hadamard(s);
    static constexpr std::array<float, kLines> kInjectSign = {1, -1, 1, 1, -1, 1, -1, -1};
    for (int i = 0; i < kLines; ++i)
        lines[i].push(s[i] + x * kInjectSign[i] * 0.5f);
}

} // namespace assetgen::music
