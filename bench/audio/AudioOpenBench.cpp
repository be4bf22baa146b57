// Start-up cost of the music: opening a 3-minute MP3 with the prescan flag (the exact
// length from a scan of every frame header) must stay well under 100 ms.
// Usage: audio_open_bench [FILE.mp3]; without a file, a generated 3-minute tune is used.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mp3/Mp3Writer.h"
#include "mp3/TestTune.h"
#include "audio/BassAudio.h"

namespace {

constexpr double tuneSeconds = 180.0;
constexpr int repeats = 25;

std::string generatedTune()
{
    const auto path = std::filesystem::temp_directory_path() / "vantor-bench-3min.mp3";
    if (!std::filesystem::exists(path)) {
        std::fprintf(stderr, "encoding a %.0f s test tune to %s ...\n", tuneSeconds, path.c_str());
        std::string error;
        if (!mp3::writeMp3(path.string(), mp3::makeTestTune(tuneSeconds), 44100, 2, 128, &error)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
            return {};
        }
    }
    return path.string();
}

double openOnce(const std::string& path, DWORD flags, QWORD* length)
{
    const auto start = std::chrono::steady_clock::now();
    const HSTREAM s = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, flags);
    const auto end = std::chrono::steady_clock::now();
    if (s == 0)
        return -1.0;
    *length = BASS_ChannelGetLength(s, BASS_POS_BYTE);
    BASS_StreamFree(s);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s min %7.2f ms  median %7.2f ms  max %7.2f ms  (%zu runs)\n", what, ms.front(),
                ms[ms.size() / 2], ms.back(), ms.size());
}

} // namespace

int main(int argc, char** argv)
{
    const std::string path = argc > 1 ? argv[1] : generatedTune();
    if (path.empty())
        return 1;
    // No device: the open is the same either way, and the bench must run anywhere.
    BASS_Init(0, 44100, 0, nullptr, nullptr);

    QWORD length = 0;
    const double first = openOnce(path, BASS_STREAM_PRESCAN, &length);
    if (first < 0.0) {
        std::fprintf(stderr, "cannot open %s (error %d)\n", path.c_str(), BASS_ErrorGetCode());
        return 1;
    }
    std::vector<double> playable;
    std::vector<double> decode;
    for (int i = 0; i < repeats; ++i) {
        playable.push_back(openOnce(path, BASS_STREAM_PRESCAN, &length));
        decode.push_back(openOnce(path, BASS_STREAM_PRESCAN | BASS_STREAM_DECODE, &length));
    }
    std::printf("file %s: %.1f KiB, %.3f s (%llu frames)\n", path.c_str(),
                std::filesystem::file_size(path) / 1024.0, length / 4 / 44100.0,
                static_cast<unsigned long long>(length / 4));
    std::printf("%-28s %7.2f ms\n", "first open (prescan)", first);
    report("open with prescan", playable);
    report("open with prescan, decode", decode);
    BASS_Free();
    return 0;
}
