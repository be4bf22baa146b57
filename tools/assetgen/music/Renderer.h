// Renders the whole track, unmastered, as float stereo: places every note of every part
// on the grid that the arrangement describes, runs the echo and reverb, and ducks the
// music under the kick.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen::music {

struct StereoTrack {
    std::vector<float> left, right;
    int64_t frames() const { return int64_t(left.size()); }
};

// Always kTrackFrames long; the same output on every call.
StereoTrack renderTrack();

} // namespace assetgen::music
