// Loudness normalisation, true-peak limiting and conversion to 16-bit PCM.
#include "music/Mastering.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "music/Dsp.h"
#include "music/Loudness.h"

namespace assetgen::music {

namespace {

constexpr int kMaxPasses = 10;
constexpr double kLoudnessTolerance = 0.05; // LU

// Writes into `out`, which keeps its storage from pass to pass.
void applyGain(const StereoTrack& in, const std::vector<float>& gain, float makeUp, StereoTrack& out)
{
    const size_t frames = std::min(in.left.size(), in.right.size());
    out.left.resize(frames);
    out.right.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        const float g = gain[i] * makeUp;
        out.left[i] = in.left[i] * g;
        out.right[i] = in.right[i] * g;
    }
}

} // namespace

Limiter::Limiter(int lookAheadFrames, double releaseSeconds)
    : window(size_t(std::max(lookAheadFrames, 1))), recover(1.0f - decayPerSample(releaseSeconds))
{
}

const std::vector<float>& Limiter::gain(const std::vector<float>& peaks, float scale, float ceiling)
{
    // Gain each frame needs on its own.
    auto needed = [&](size_t i) {
        const float peak = peaks[i] * scale;
        return peak > ceiling ? ceiling / peak : 1.0f;
    };
    const size_t n = peaks.size();
    result.resize(n);
    if (n == 0)
        return result;

    // Smallest need over the coming window (a sliding minimum over a monotone queue).
    std::deque<std::pair<size_t, float>> queue;
    for (size_t i = n; i-- > 0;) {
        const float need = needed(i);
        while (!queue.empty() && queue.back().second >= need)
            queue.pop_back();
        queue.emplace_back(i, need);
        while (queue.front().first >= i + window)
            queue.pop_front();
        result[i] = queue.front().second;
    }

    // Instant fall, exponential recovery: never above the window minimum.
    float held = result[0];
    for (size_t i = 0; i < n; ++i) {
        held = result[i] < held ? result[i] : held + (result[i] - held) * recover;
        result[i] = held;
    }

    // A moving average as long as the look-ahead turns the steps into ramps. Every value
    // it averages at frame i looked ahead past i, so the result still meets frame i's
    // need. Before the start, the first value stands in. The ring holds the values
    // averaged, since the result overwrites them.
    history.assign(window, result[0]);
    double sum = double(result[0]) * double(window);
    for (size_t i = 0; i < n; ++i) {
        float& oldest = history[i % window];
        sum += double(result[i]) - double(oldest);
        oldest = result[i];
        result[i] = std::min(float(sum / double(window)), needed(i));
    }
    return result;
}

MasterReport master(StereoTrack& track, const MasterSettings& settings)
{
    MasterReport report;
    const double loudness = integratedLoudness(track.left, track.right);
    if (!std::isfinite(loudness))
        return report;

    const TruePeakFilter meter;
    const std::vector<float> peaks = meter.envelope(track.left, track.right);
    const int lookAhead = int(settings.lookAheadSeconds * kSampleRate);

    // Limiting lowers the loudness, so the make-up gain is raised until the limited
    // track reads the target. Gain changes inside a few samples can let an interpolated
    // peak slip past the envelope, so the ceiling also tightens until the result obeys it.
    double gainDb = settings.targetLufs - loudness;
    double ceilingDb = settings.ceilingDbtp;
    // Under heavy limiting each dB of make-up gain buys less than a dB of loudness; the
    // slope between the last two passes (a secant step) finds the gain in few passes.
    double lastGainDb = 0.0, lastLoudness = loudness;
    StereoTrack out;
    Limiter limiter(lookAhead, settings.releaseSeconds);
    bool peakMeasured = false;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        const float makeUp = float(dbToGain(gainDb));
        const std::vector<float>& gain = limiter.gain(peaks, makeUp, float(dbToGain(ceilingDb)));
        applyGain(track, gain, makeUp, out);
        peakMeasured = false;
        report.loudnessLufs = integratedLoudness(out.left, out.right);
        const double miss = settings.targetLufs - report.loudnessLufs;
        if (std::abs(miss) > kLoudnessTolerance) {
            const double slope = (report.loudnessLufs - lastLoudness) / (gainDb - lastGainDb);
            lastGainDb = gainDb;
            lastLoudness = report.loudnessLufs;
            gainDb += miss / std::clamp(std::isfinite(slope) ? slope : 1.0, 0.2, 1.0);
            continue;
        }
        report.truePeakDbtp = peakDb(meter.envelope(out.left, out.right));
        peakMeasured = true;
        if (report.truePeakDbtp <= settings.ceilingDbtp)
            break;
        ceilingDb -= report.truePeakDbtp - settings.ceilingDbtp + 0.02;
    }
    if (!peakMeasured)
        report.truePeakDbtp = peakDb(meter.envelope(out.left, out.right));
    report.samplePeakDbfs = samplePeakDb(out.left, out.right);
    report.gainDb = gainDb;
    float deepest = 1.0f;
    for (float g : limiter.lastGain())
        deepest = std::min(deepest, g);
    report.maxReductionDb = -gainToDb(deepest);
    report.ok = report.truePeakDbtp <= settings.ceilingDbtp + 0.05 &&
                std::abs(report.loudnessLufs - settings.targetLufs) <= 0.2;
    track = std::move(out);
    return report;
}

std::vector<int16_t> toPcm16(const StereoTrack& track, uint64_t ditherSeed, int64_t* clipped)
{
    Rng rng(ditherSeed);
    const size_t frames = std::min(track.left.size(), track.right.size());
    std::vector<int16_t> pcm(frames * 2);
    int64_t clamps = 0;
    auto convert = [&](float x) {
        // One LSB of triangular dither decorrelates the rounding error from the music.
        const double scaled = double(x) * 32767.0 + rng.triangular();
        double rounded = std::floor(scaled + 0.5);
        if (rounded > 32767.0 || rounded < -32768.0) {
            ++clamps;
            rounded = std::clamp(rounded, -32768.0, 32767.0);
        }
        return int16_t(rounded);
    };
    for (size_t i = 0; i < frames; ++i) {
        pcm[2 * i] = convert(track.left[i]);
        pcm[2 * i + 1] = convert(track.right[i]);
    }
    if (clipped)
        *clipped = clamps;
    return pcm;
}

} // namespace assetgen::music
