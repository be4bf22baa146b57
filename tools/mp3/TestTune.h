// A short generated tune for tests, benchmarks and a stand-in music file: kick, snare,
// hi-hat, bass and a four-chord pad at the show's 150 beats per minute. Deterministic:
// the same length always gives the same samples.
#pragma once

#include <cstdint>
#include <vector>

#include "sync/ShowTime.h"

namespace mp3 {

constexpr double testTuneBpm = showtime::beatsPerMinute;

// Interleaved 16-bit samples, channels 1 or 2 (anything else gives stereo); the result
// holds round(seconds × sampleRate) frames, none for a length that is not positive.
std::vector<std::int16_t> makeTestTune(double seconds, int sampleRate = 44100, int channels = 2);

} // namespace mp3
