// Watches the running scene's timeline text and every shader file its programs were built
// from (includes too), and reloads what is saved: the timeline recompiled into the tracks
// in place, a shader's programs rebuilt under the names their owners hold. Whatever fails
// keeps the last good version running.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "studio/FileWatcher.h"
#include "studio/ReloadResult.h"
#include "studio/TimelineReloader.h"

class Sync;

namespace studio {

class Reloader {
public:
    Reloader(Sync* sync, const std::string& timelinePath,
        FileWatcher::Method method = FileWatcher::Method::Notify);

    // Starts watching the timeline and the shader files of the programs living now.
    void watchFiles();
    ReloadResult reloadTimeline();
    // Rebuilds the programs built from the file; names are the file's spellings as the
    // shader loader knows them (shaderFiles()).
    ReloadResult reloadShader(const std::vector<std::string>& names);
    // Once a frame: reloads each file saved since the last call, one result per file.
    std::vector<ReloadResult> poll();
    // Standard input's `reload`: the timeline, and every shader file whose modification
    // time or size changed since it was last seen (saves the watcher may have missed).
    std::vector<ReloadResult> reloadAll();

    // Asked before each reload of the timeline that a save caused; false skips it (the
    // studio's own save, or an outside save waiting on the user's choice).
    void gateTimeline(std::function<bool()> gate) { timelineGate = std::move(gate); }

    const TimelineReloader& timeline() const { return timelineReloader; }
    TimelineReloader& timeline() { return timelineReloader; }
    const FileWatcher& watcher() const { return files; }

private:
    std::vector<ReloadResult> reloadNames(const std::vector<std::string>& names, bool timelineAnyway);

    TimelineReloader timelineReloader;
    FileWatcher files;
    std::function<bool()> timelineGate;
};

} // namespace studio
