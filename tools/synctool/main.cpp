// synctool: inspect and build the show's binary track files.
//   synctool dump FILE            one "row value type" line per key
//   synctool eval FILE ROW...     the track's value at each row, one per line
//   synctool build SOURCE BASE    compile a timeline text into BASE_<name>.track files
//   synctool plot SOURCE --out FILE.png [--rows FROM:TO] [--tracks a,b,...]
//                                 a picture of the tracks (see TrackPlot.h)
//   synctool --help               this list, on standard output
// Results go to standard output, messages to standard error. Exit status: 0 on success,
// 1 on failure (nothing printed or written), 2 when a track file is damaged (the keys
// that are intact are still dumped or evaluated).
#include "TrackPlot.h"
#include "sync/SyncTracks.h"
#include "sync/Timeline.h"
#include "sync/TrackEval.h"
#include "sync/TrackReader.h"
#include "sync/TrackWriter.h"
#include "base/AtomicFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitDamaged = 2;

const char usageText[] =
    "usage: synctool dump FILE\n"
    "       synctool eval FILE ROW...\n"
    "       synctool build SOURCE BASEPATH\n"
    "       synctool plot SOURCE --out FILE.png [--rows FROM:TO] [--tracks a,b,...]\n";

int usage()
{
    std::fputs(usageText, stderr);
    return exitFailed;
}

// Asked for, the usage is the result: standard output, success.
int help()
{
    std::fputs(usageText, stdout);
    return std::fflush(stdout) == 0 ? exitOk : exitFailed;
}

// Loads a track file for inspection; the reader's messages go to standard error.
int loadTrack(const char* path, SyncTrack& track)
{
    track = SyncTrack{nullptr, nullptr, 0};
    const int result = readTrackFile(&track, path, stderr);
    return result == TrackReadOk ? exitOk : result == TrackReadMissing ? exitFailed : exitDamaged;
}

int dump(const char* path)
{
    SyncTrack track;
    const int status = loadTrack(path, track);
    if (status == exitFailed)
        return status;
    for (int i = 0; i < track.keyCount; ++i) {
        const TrackKey& key = track.keys[i];
        std::printf("%d %.9g %d\n", int(key.row), double(key.value), int(key.type));
    }
    std::free(track.keys);
    return status;
}

int eval(const char* path, int rowCount, char** rowTexts)
{
    std::vector<double> rows;
    for (int i = 0; i < rowCount; ++i) {
        char* end = nullptr;
        const double row = std::strtod(rowTexts[i], &end);
        if (end == rowTexts[i] || *end != '\0' || !std::isfinite(row)) {
            std::fprintf(stderr, "synctool: bad row '%s' (a finite decimal number)\n", rowTexts[i]);
            return exitFailed;
        }
        rows.push_back(row);
    }
    SyncTrack track;
    const int status = loadTrack(path, track);
    if (status == exitFailed)
        return status;
    for (const double row : rows)
        std::printf("%.9g\n", double(getTrackValue(&track, row)));
    std::free(track.keys);
    return status;
}

int build(const char* source, const std::string& basePath)
{
    Timeline timeline;
    std::vector<std::string> errors;
    if (!loadTimeline(source, timeline, errors)) {
        for (const std::string& error : errors)
            std::fprintf(stderr, "%s\n", error.c_str());
        return exitFailed;
    }
    const std::filesystem::path folder = std::filesystem::path(basePath).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::fprintf(stderr, "%s: cannot create folder: %s\n", folder.string().c_str(), error.message().c_str());
            return exitFailed;
        }
    }
    // Every file is written and closed beside its target before the first one replaces
    // its target, so a file that cannot be made (a full disk, a name too long for the
    // file system) leaves every track as it was, never a set half old and half new.
    struct Pending {
        std::string path;
        std::size_t keys;
        std::unique_ptr<Tarvo::AtomicFile> file;
    };
    std::vector<Pending> pending;
    for (const TimelineTrack& track : timeline.tracks) {
        const std::string path = trackPath(basePath.c_str(), track.name.c_str());
        std::vector<unsigned char> bytes;
        if (track.keys.size() > std::size_t(INT32_MAX) ||
            !encodeTrack(track.keys.data(), static_cast<int>(track.keys.size()), bytes, stderr)) {
            std::fprintf(stderr, "%s: not written; no track file was replaced\n", path.c_str());
            return exitFailed;
        }
        auto file = std::make_unique<Tarvo::AtomicFile>(path);
        if (!file->write(bytes.data(), bytes.size()) || !file->seal()) {
            std::fprintf(stderr, "%s: cannot write: %s; no track file was replaced\n", path.c_str(),
                file->error().c_str());
            return exitFailed;
        }
        pending.push_back({path, track.keys.size(), std::move(file)});
    }
    // Only a rename is left, which fails only when the folder changes under the build.
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (!pending[i].file->commit()) {
            std::fprintf(stderr, "%s: cannot replace: %s; %zu of %zu track files were replaced\n",
                pending[i].path.c_str(), pending[i].file->error().c_str(), i, pending.size());
            return exitFailed;
        }
        std::fprintf(stderr, "%s: %zu keys\n", pending[i].path.c_str(), pending[i].keys);
    }
    return exitOk;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "synctool: %s\n", message.c_str());
    return exitFailed;
}

int plot(int argc, char** argv)
{
    synctool::PlotRequest request;
    request.source = argv[0];
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return fail(option + " needs a value");
        const std::string value = argv[i + 1];
        if (option == "--out")
            request.out = value;
        else if (option == "--rows") {
            if (!synctool::parseRowRange(value, request.rows))
                return fail("bad --rows '" + value + "' (FROM:TO, whole rows, FROM below TO)");
            request.hasRows = true;
        } else if (option == "--tracks") {
            if (!synctool::parseTrackList(value, request.names))
                return fail("bad --tracks '" + value + "' (track names separated by commas)");
            for (std::size_t a = 0; a < request.names.size(); ++a)
                for (std::size_t b = a + 1; b < request.names.size(); ++b)
                    if (request.names[a] == request.names[b])
                        return fail("--tracks names '" + request.names[a] + "' twice");
        } else
            return fail("unknown option '" + option + "'");
    }
    if (request.out.empty())
        return fail("plot needs --out FILE.png");
    const std::string extension = std::filesystem::path(request.out).extension().string();
    if (extension != ".png" && extension != ".PNG")
        return fail("--out '" + request.out + "': the plot is a PNG picture, so the file must end in .png");
    std::string why;
    const int result = synctool::writeTrackPlot(request, why);
    if (result != synctool::PlotSourceOk) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return result == synctool::PlotSourceDamaged ? exitDamaged : exitFailed;
    }
    return exitOk;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help")
        return help();
    if (command == "dump" && argc == 3)
        return dump(argv[2]);
    if (command == "eval" && argc >= 4)
        return eval(argv[2], argc - 3, argv + 3);
    if (command == "build" && argc == 4)
        return build(argv[2], argv[3]);
    if (command == "plot" && argc >= 3)
        return plot(argc - 2, argv + 2);
    return usage();
}
