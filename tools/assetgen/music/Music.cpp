// generateMusic: the generated dub-techno track for "./data/vaxo-dubtech.mp3".
#include "music/Music.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "AssetGen.h"
#include "mp3/Mp3Writer.h"
#include "music/Arrangement.h"
#include "music/Renderer.h"

namespace assetgen::music {

MasteredMusic renderMasteredMusic()
{
    StereoTrack track = renderTrack();
    MasteredMusic music;
    music.report = master(track);
    music.pcm = toPcm16(track, 0x64697468ull, &music.clippedSamples);
    return music;
}

bool writeMusicFile(const std::string& path, const MasteredMusic& music, std::string& error)
{
    return mp3::writeMp3(path, music.pcm, kSampleRate, 2, kMp3Kbps, &error);
}

} // namespace assetgen::music

namespace assetgen {

bool generateMusic(const std::string& dataDir)
{
    using namespace music;
    std::fprintf(stderr, "music: %d bars at %.0f BPM, %d rows a bar\n%s", kTotalBars, kBpm, kRowsPerBar,
                 describeSections().c_str());

    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);
    if (ec) {
        std::fprintf(stderr, "music: cannot create %s: %s\n", dataDir.c_str(), ec.message().c_str());
        return false;
    }

    const MasteredMusic music = renderMasteredMusic();
    const MasterReport& r = music.report;
    std::fprintf(stderr,
                 "music: %.3f s, %.2f LUFS integrated, %.2f dBTP true peak, %.2f dBFS sample peak, "
                 "make-up %+.2f dB, limiter %.2f dB at most, %lld clipped samples\n",
                 double(music.pcm.size() / 2) / kSampleRate, r.loudnessLufs, r.truePeakDbtp, r.samplePeakDbfs,
                 r.gainDb, r.maxReductionDb, static_cast<long long>(music.clippedSamples));
    if (!r.ok) {
        std::fprintf(stderr, "music: mastering missed its targets\n");
        return false;
    }

    const std::string path = (std::filesystem::path(dataDir) / kMusicFile).string();
    std::string error;
    if (!writeMusicFile(path, music, error)) {
        std::fprintf(stderr, "music: cannot write %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

} // namespace assetgen
