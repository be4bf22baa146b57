// Recompiles a timeline text in-process and puts its keys in place of the running tracks'
// (the same compiler synctool builds the track files with). A timeline with errors changes
// nothing: the tracks keep the keys of the last one that compiled.
#pragma once

#include <string>

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

private:
    Sync* sync;
    std::string file;
    Timeline good;
};

// A path as the studio reports it: without "./" and "..", with forward slashes.
std::string reportedPath(const std::string& path);

} // namespace studio
