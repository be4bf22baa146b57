#include "PlotSource.h"

#include "sync/Timeline.h"
#include "sync/TrackReader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace synctool {

namespace {

namespace fs = std::filesystem;

const PlotTrack* findByName(const std::vector<PlotTrack>& tracks, const std::string& name)
{
    for (const PlotTrack& track : tracks)
        if (track.name == name)
            return &track;
    return nullptr;
}

// Keeps the named tracks in the order named; all of them when no names are given.
int pickTracks(std::vector<PlotTrack>& all, const std::vector<std::string>& names, const std::string& source,
    std::vector<PlotTrack>& tracks, std::string& why)
{
    if (names.empty()) {
        tracks = std::move(all);
        return PlotSourceOk;
    }
    tracks.clear();
    for (const std::string& name : names) {
        const PlotTrack* track = findByName(all, name);
        if (!track) {
            why = source + ": no track named '" + name + "'";
            return PlotSourceFailed;
        }
        tracks.push_back(*track);
    }
    return PlotSourceOk;
}

int loadTimelineTracks(const std::string& source, const std::vector<std::string>& names,
    std::vector<PlotTrack>& tracks, std::string& why)
{
    Timeline timeline;
    std::vector<std::string> errors;
    if (!loadTimeline(source, timeline, errors)) {
        why.clear();
        for (const std::string& error : errors)
            why += (why.empty() ? "" : "\n") + error;
        return PlotSourceFailed;
    }
    std::vector<PlotTrack> all;
    for (TimelineTrack& track : timeline.tracks)
        all.push_back({ track.name, std::move(track.keys) });
    return pickTracks(all, names, source, tracks, why);
}

// The names of the files BASE_<name>.track beside the base, sorted.
std::vector<std::string> trackNamesAt(const std::string& base)
{
    const fs::path basePath(base);
    const fs::path folder = basePath.parent_path().empty() ? fs::path(".") : basePath.parent_path();
    const std::string prefix = basePath.filename().string() + "_";
    const std::string suffix = ".track";
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) != 0
            || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string name = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
        if (isTrackName(name) && it->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The reader's complaints about one file, of which the first becomes the message.
std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

int readTrack(const std::string& path, PlotTrack& track, std::string& why)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        why = path + ": cannot read the track file";
        return PlotSourceFailed;
    }
    char* logText = nullptr;
    std::size_t logSize = 0;
    std::FILE* log = open_memstream(&logText, &logSize);
    SyncTrack read{ nullptr, nullptr, 0 };
    const int result = readTrackStream(&read, file, path.c_str(), log ? log : stderr);
    std::fclose(file);
    if (log)
        std::fclose(log);
    const std::string complaints = logText ? std::string(logText, logSize) : std::string();
    std::free(logText);
    track.keys.assign(read.keys, read.keys + read.keyCount);
    std::free(read.keys);
    if (result != TrackReadOk) {
        // Plotting the intact keys would show a picture of a file the build did not
        // write, so a damaged file stops the plot as it stops a build.
        why = complaints.empty() ? path + ": damaged track file" : firstLine(complaints);
        return PlotSourceDamaged;
    }
    return PlotSourceOk;
}

int loadTrackFiles(const std::string& base, const std::vector<std::string>& names,
    std::vector<PlotTrack>& tracks, std::string& why)
{
    const std::vector<std::string> found = trackNamesAt(base);
    if (found.empty()) {
        std::error_code error;
        why = fs::exists(base, error)
            ? base + ": neither a timeline text nor the base of track files " + base + "_<name>.track"
            : base + ": not found (no such timeline, and no track files " + base + "_<name>.track)";
        return PlotSourceFailed;
    }
    std::vector<std::string> wanted = names.empty() ? found : names;
    tracks.clear();
    for (const std::string& name : wanted) {
        if (std::find(found.begin(), found.end(), name) == found.end()) {
            why = base + ": no track named '" + name + "' (no file " + trackPath(base.c_str(), name.c_str()) + ")";
            return PlotSourceFailed;
        }
        PlotTrack track{ name, {} };
        const int result = readTrack(trackPath(base.c_str(), name.c_str()), track, why);
        if (result != PlotSourceOk)
            return result;
        tracks.push_back(std::move(track));
    }
    return PlotSourceOk;
}

} // namespace

int loadPlotTracks(const std::string& source, const std::vector<std::string>& names,
    std::vector<PlotTrack>& tracks, std::string& why)
{
    std::error_code error;
    if (fs::is_regular_file(source, error))
        return loadTimelineTracks(source, names, tracks, why);
    return loadTrackFiles(source, names, tracks, why);
}

bool parseTrackList(const std::string& text, std::vector<std::string>& names)
{
    names.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!isTrackName(name))
            return false;
        names.push_back(name);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

} // namespace synctool
