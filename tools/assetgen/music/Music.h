// The show's music as a whole: rendered, mastered and encoded to the MP3 the show plays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "music/Mastering.h"

namespace assetgen::music {

inline constexpr const char* kMusicFile = "vaxo-dubtech.mp3";
inline constexpr int kMp3Kbps = 192;

struct MasteredMusic {
    std::vector<int16_t> pcm; // interleaved stereo at kSampleRate
    MasterReport report;
    int64_t clippedSamples = 0;
};

// Renders and masters the whole track; the same samples on every call.
MasteredMusic renderMasteredMusic();

// Encodes to `path` (through a temporary file, so a failed run never leaves a partial
// file under the real name). On failure, `error` says why.
bool writeMusicFile(const std::string& path, const MasteredMusic& music, std::string& error);

} // namespace assetgen::music
