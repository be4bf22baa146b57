// Recompiles a timeline text in-process and puts its keys in place of the running tracks'
// (the same compiler synctool builds the track files with). A timeline with errors changes
// nothing: the tracks keep the keys of the last one that compiled.
#pragma once

#include <string>
#include <vector>

#include "studio/ReloadResult.h"
#include "sync/Timeline.h"

class Sync;

namespace studio {

class TimelineReloader {
public:
    // sync may be null (no track store): the timeline is still compiled and reported.
    TimelineReloader(Sync* sync, const std::string& path);

    ReloadResult reload();
    // The path as it is reported ("data/timeline.txt").
    const std::string& path() const { return file; }
    // The last timeline that compiled; empty before the first.
    const Timeline& lastGood() const { return good; }
    // The keys the tracks hold now, edited in the studio: later reloads are compared
    // with these.
    void adopt(Timeline timeline) { good = std::move(timeline); }
    // The tracks the scene reads: a reload that drops one of them says so.
    void setReadTracks(std::vector<std::string> names) { read = std::move(names); }

private:
    Sync* sync;
    std::string file;
    Timeline good;
    std::vector<std::string> read;
};

// What changed from one timeline to the next, in a few words: "2 keys changed in camX,
// camY", "track fade added", "nothing changed".
std::string timelineChanges(const Timeline& before, const Timeline& after);
// "HH:MM:SS", local time.
std::string timeOfDay();

// A path as the studio reports it: without "./" and "..", with forward slashes.
std::string reportedPath(const std::string& path);

} // namespace studio
