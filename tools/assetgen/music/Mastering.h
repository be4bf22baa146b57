// Mastering of the rendered track: normalise to a target integrated loudness, hold the
// true peak under a ceiling with a look-ahead limiter, and turn the result into dithered
// 16-bit PCM for the encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "music/Renderer.h"

namespace assetgen::music {

struct MasterSettings {
    double targetLufs = -14.0;
    // Below the delivery limit of -1 dBTP: MP3 coding adds its own error to the wave,
    // and this track's decoded peaks rise by up to about 0.4 dB over the PCM's.
    double ceilingDbtp = -2.0;
    double lookAheadSeconds = 0.005;
    double releaseSeconds = 0.1;
};

struct MasterReport {
    double loudnessLufs = 0.0;    // integrated, after mastering
    double truePeakDbtp = 0.0;
    double samplePeakDbfs = 0.0;
    double gainDb = 0.0;          // make-up gain applied before the limiter
    double maxReductionDb = 0.0;  // deepest gain reduction of the limiter
    bool ok = false;              // false when the track was silent and left as it was
};

// Look-ahead peak limiter working on a whole programme at once: the gain starts falling
// `lookAheadFrames` before a peak, so it ramps instead of stepping, and recovers with the
// release time constant. Both channels share one gain, so the stereo image holds.
class Limiter {
public:
    Limiter(int lookAheadFrames, double releaseSeconds);
    // Gain per frame that keeps `peaks` × `scale` at or below `ceiling`; `peaks` is a
    // true-peak envelope. The result stays valid until the next call.
    const std::vector<float>& gain(const std::vector<float>& peaks, float scale, float ceiling);
    const std::vector<float>& lastGain() const { return result; }

private:
    size_t window;
    float recover;
    // Kept between calls: mastering runs the limiter several times over the same length.
    std::vector<float> result, history;
};

// Masters the track in place.
MasterReport master(StereoTrack& track, const MasterSettings& settings = {});

// Interleaved 16-bit PCM with triangular dither; `clipped` counts samples that had to
// be clamped (none for a mastered track).
std::vector<int16_t> toPcm16(const StereoTrack& track, uint64_t ditherSeed, int64_t* clipped = nullptr);

} // namespace assetgen::music
