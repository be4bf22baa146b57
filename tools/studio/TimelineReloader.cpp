#include "studio/TimelineReloader.h"

#include <filesystem>
#include <vector>

#include "sync/Sync.h"

namespace studio {

std::string reportedPath(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().generic_string();
}

TimelineReloader::TimelineReloader(Sync* sync, const std::string& path)
    : sync(sync), file(reportedPath(path))
{
}

ReloadResult TimelineReloader::reload()
{
    ReloadResult result;
    result.kind = ReloadResult::Kind::Timeline;
    result.path = file;
    Timeline timeline;
    if (!loadTimeline(file, timeline, result.errors))
        return result;
    if (sync && !sync->replaceKeys(timeline)) {
        result.errors.push_back(file + ":1: out of memory replacing the tracks' keys");
        return result;
    }
    result.ok = true;
    result.tracks = static_cast<int>(timeline.tracks.size());
    good = std::move(timeline);
    return result;
}

} // namespace studio
