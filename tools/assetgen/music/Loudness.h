// Loudness and peak metering of a stereo programme: integrated loudness by ITU-R
// BS.1770-4 (K-weighting, 400 ms blocks overlapping by 75 %, absolute gate at -70 LUFS
// and relative gate 10 LU below the ungated level) and true peak by 4x oversampling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "music/Dsp.h"

namespace assetgen::music {

// The two K-weighting stages (a high shelf for the head, then a high pass) designed
// from their analog prototypes, so any sample rate gets the right curve.
struct KWeighting {
    Biquad shelf, highPass;
    explicit KWeighting(double sampleRate);
    double process(double x) { return highPass.process(shelf.process(x)); }
};

// Integrated loudness of the two channels in LUFS; minus infinity when no 400 ms block
// passes the gates (silence, or fewer than 400 ms of audio).
double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right,
                          double sampleRate = kSampleRate);

// 4x interpolation for true-peak reading: a Kaiser-windowed sinc in three fractional
// phases (the fourth phase is the sample itself).
class TruePeakFilter {
public:
    TruePeakFilter();
    // Per frame, the largest magnitude in either channel at the sample and at the three
    // points between it and the next sample.
    std::vector<float> envelope(const std::vector<float>& left, const std::vector<float>& right) const;

    static constexpr int kHalfWidth = 12; // input samples on each side of a point

private:
    // Raises peaks[0 .. end - begin) to the peaks of x over frames [begin, end).
    void rangePeaks(const std::vector<float>& x, size_t begin, size_t end, float* peaks) const;
    float taps[3][2 * kHalfWidth];
};

// The largest value of `envelope`, in dB (dBTP when it came from TruePeakFilter).
double peakDb(const std::vector<float>& envelope);

// Largest absolute sample value of either channel, in dBFS.
double samplePeakDb(const std::vector<float>& left, const std::vector<float>& right);

} // namespace assetgen::music
