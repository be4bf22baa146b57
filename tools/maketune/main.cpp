// maketune OUT.mp3 SECONDS: writes the generated test tune (44.1 kHz stereo, 192 kbps,
// gapless info tag). The file appears complete or not at all (the MP3 writer puts it in
// place only when it is finished).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mp3/Mp3Writer.h"
#include "mp3/TestTune.h"

namespace {
constexpr int sampleRate = 44100;
constexpr int channels = 2;
constexpr int kbps = 192;
constexpr double maxSeconds = 3600.0;
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: maketune OUT.mp3 SECONDS\n");
        return 2;
    }
    const std::string path = argv[1];
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(argv[2], &end);
    if (errno != 0 || end == argv[2] || *end != '\0' || !(seconds > 0.0) || seconds > maxSeconds) {
        std::fprintf(stderr, "maketune: SECONDS must be a number in (0, %g], not '%s'\n",
                     maxSeconds, argv[2]);
        return 2;
    }

    const std::vector<std::int16_t> pcm = mp3::makeTestTune(seconds, sampleRate, channels);
    std::string error;
    if (!mp3::writeMp3(path, pcm, sampleRate, channels, kbps, &error)) {
        std::fprintf(stderr, "maketune: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::printf("%s %zu frames %d Hz %d channels\n", path.c_str(), pcm.size() / channels,
                sampleRate, channels);
    return 0;
}
