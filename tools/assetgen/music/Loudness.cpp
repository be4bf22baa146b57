// BS.1770 loudness meter and true-peak meter.
#include "music/Loudness.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <thread>

namespace assetgen::music {

namespace {

// Analog prototype of the K-weighting curve: with these corner frequencies, gains and
// Qs the bilinear transform reproduces the 48 kHz coefficients tabled in BS.1770.
constexpr double kShelfHz = 1681.974450955533;
constexpr double kShelfDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kHighPassHz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;
constexpr double kLoudnessOffset = -0.691;
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = -10.0;

double besselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

} // namespace

KWeighting::KWeighting(double sampleRate)
{
    {
        const double k = std::tan(std::numbers::pi * kShelfHz / sampleRate);
        const double vh = std::pow(10.0, kShelfDb / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / kShelfQ + k * k;
        shelf.b0 = (vh + vb * k / kShelfQ + k * k) / a0;
        shelf.b1 = 2.0 * (k * k - vh) / a0;
        shelf.b2 = (vh - vb * k / kShelfQ + k * k) / a0;
        shelf.a1 = 2.0 * (k * k - 1.0) / a0;
        shelf.a2 = (1.0 - k / kShelfQ + k * k) / a0;
    }
    {
        const double k = std::tan(std::numbers::pi * kHighPassHz / sampleRate);
        const double a0 = 1.0 + k / kHighPassQ + k * k;
        highPass.b0 = 1.0;
        highPass.b1 = -2.0;
        highPass.b2 = 1.0;
        highPass.a1 = 2.0 * (k * k - 1.0) / a0;
        highPass.a2 = (1.0 - k / kHighPassQ + k * k) / a0;
    }
}

double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right, double sampleRate)
{
    const size_t frames = std::min(left.size(), right.size());
    const size_t hop = size_t(std::lround(sampleRate * 0.1)); // 100 ms: a quarter block
    if (hop == 0 || frames < 4 * hop)
        return -std::numeric_limits<double>::infinity();

    // Mean square of each 100 ms stretch, both channels summed (each weighs 1.0);
    // a 400 ms block is the mean of four consecutive stretches.
    const size_t quarters = frames / hop;
    std::vector<double> quarterPower(quarters, 0.0);
    KWeighting kl(sampleRate), kr(sampleRate);
    for (size_t q = 0; q < quarters; ++q) {
        double sum = 0.0;
        for (size_t i = q * hop; i < (q + 1) * hop; ++i) {
            const double l = kl.process(left[i]);
            const double r = kr.process(right[i]);
            sum += l * l + r * r;
        }
        quarterPower[q] = sum / double(hop);
    }

    std::vector<double> blockPower;
    blockPower.reserve(quarters);
    const double absolutePower = std::pow(10.0, (kAbsoluteGate - kLoudnessOffset) / 10.0);
    for (size_t b = 0; b + 4 <= quarters; ++b) {
        const double power = 0.25 * (quarterPower[b] + quarterPower[b + 1] + quarterPower[b + 2] + quarterPower[b + 3]);
        if (power > absolutePower)
            blockPower.push_back(power);
    }
    if (blockPower.empty())
        return -std::numeric_limits<double>::infinity();

    double sum = 0.0;
    for (double p : blockPower)
        sum += p;
    const double relativePower = sum / double(blockPower.size()) * std::pow(10.0, kRelativeGate / 10.0);
    double gatedSum = 0.0;
    size_t gated = 0;
    for (double p : blockPower)
        if (p > relativePower) {
            gatedSum += p;
            ++gated;
        }
    if (gated == 0)
        return -std::numeric_limits<double>::infinity();
    return kLoudnessOffset + 10.0 * std::log10(gatedSum / double(gated));
}

TruePeakFilter::TruePeakFilter()
{
    constexpr double kBeta = 7.0;
    const double norm = besselI0(kBeta);
    for (int p = 1; p <= 3; ++p) {
        double sum = 0.0;
        for (int j = 0; j < 2 * kHalfWidth; ++j) {
            // Tap j weighs input sample n - kHalfWidth + 1 + j for the point n + p/4.
            const double t = p / 4.0 + kHalfWidth - 1 - j;
            const double u = t / kHalfWidth;
            const double window = std::abs(u) >= 1.0 ? 0.0 : besselI0(kBeta * std::sqrt(1.0 - u * u)) / norm;
            const double sinc = std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
            taps[p - 1][j] = float(sinc * window);
            sum += sinc * window;
        }
        // Unity gain at DC for every phase, so a constant reads as itself.
        for (int j = 0; j < 2 * kHalfWidth; ++j)
            taps[p - 1][j] = float(taps[p - 1][j] / sum);
    }
}

void TruePeakFilter::rangePeaks(const std::vector<float>& x, size_t begin, size_t end, float* peaks) const
{
    // Blocks of frames with the tap loop outside the frame loop: every frame's sum is
    // independent, so the inner loop runs across frames in vector registers. Each block
    // copies its input window, with zeros beyond either end of the programme.
    constexpr size_t kBlock = 256;
    constexpr size_t kSpan = 2 * kHalfWidth;
    float window[kBlock + kSpan];
    float sums[kBlock];
    const int64_t count = int64_t(x.size());
    for (size_t start = begin; start < end; start += kBlock) {
        const size_t frames = std::min(kBlock, end - start);
        const int64_t first = int64_t(start) - kHalfWidth + 1;
        for (size_t k = 0; k < frames + kSpan; ++k) {
            const int64_t at = first + int64_t(k);
            window[k] = at >= 0 && at < count ? x[size_t(at)] : 0.0f;
        }
        float* peak = peaks + (start - begin);
        for (size_t i = 0; i < frames; ++i)
            peak[i] = std::max(peak[i], std::abs(x[start + i]));
        for (int p = 0; p < 3; ++p) {
            std::fill(sums, sums + frames, 0.0f);
            for (size_t j = 0; j < kSpan; ++j) {
                const float tap = taps[p][j];
                const float* in = window + j; // input n - kHalfWidth + 1 + j
                for (size_t i = 0; i < frames; ++i)
                    sums[i] += tap * in[i];
            }
            for (size_t i = 0; i < frames; ++i)
                peak[i] = std::max(peak[i], std::abs(sums[i]));
        }
    }
}

std::vector<float> TruePeakFilter::envelope(const std::vector<float>& left, const std::vector<float>& right) const
{
    // Frames are independent: the second half runs on a second thread.
    const size_t frames = std::min(left.size(), right.size());
    std::vector<float> peaks(frames, 0.0f);
    auto run = [&](size_t begin, size_t end) {
        rangePeaks(left, begin, end, peaks.data() + begin);
        rangePeaks(right, begin, end, peaks.data() + begin);
    };
    const size_t half = frames / 2;
    std::thread second(run, half, frames);
    run(0, half);
    second.join();
    return peaks;
}

double peakDb(const std::vector<float>& envelope)
{
    float peak = 0.0f;
    for (float v : envelope)
        peak = std::max(peak, v);
    return gainToDb(peak);
}

double samplePeakDb(const std::vector<float>& left, const std::vector<float>& right)
{
    float peak = 0.0f;
    for (float v : left)
        peak = std::max(peak, std::abs(v));
    for (float v : right)
        peak = std::max(peak, std::abs(v));
    return gainToDb(peak);
}

} // namespace assetgen::music
