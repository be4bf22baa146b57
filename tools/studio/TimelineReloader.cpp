#include "studio/TimelineReloader.h"

#include <algorithm>
#include <ctime>
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
    result.when = timeOfDay();
    Timeline timeline;
    if (!loadTimeline(file, timeline, result.errors))
        return result;
    if (sync && !sync->replaceKeys(timeline)) {
        result.errors.push_back(file + ":1: out of memory replacing the tracks' keys");
        return result;
    }
    result.ok = true;
    result.tracks = static_cast<int>(timeline.tracks.size());
    if (!good.tracks.empty())
        result.changes = timelineChanges(good, timeline);
    for (const std::string& name : read) {
        const bool has = std::any_of(timeline.tracks.begin(), timeline.tracks.end(),
            [&](const TimelineTrack& track) { return track.name == name; });
        if (!has)
            result.warnings.push_back("the scene reads track " + name + ", which " + file +
                " no longer has: it reads 0 (names are case-sensitive)");
    }
    good = std::move(timeline);
    return result;
}

std::string timelineChanges(const Timeline& before, const Timeline& after)
{
    auto find = [](const Timeline& timeline, const std::string& name) -> const TimelineTrack* {
        for (const TimelineTrack& track : timeline.tracks)
            if (track.name == name)
                return &track;
        return nullptr;
    };
    auto list = [](const std::vector<std::string>& names) {
        std::string text;
        for (size_t i = 0; i < names.size() && i < 4; ++i)
            text += (i ? ", " : "") + names[i];
        return names.size() > 4 ? text + " and " + std::to_string(names.size() - 4) + " more" : text;
    };
    std::vector<std::string> changed, added, gone;
    size_t keys = 0;
    for (const TimelineTrack& track : after.tracks) {
        const TimelineTrack* old = find(before, track.name);
        if (!old) {
            added.push_back(track.name);
            continue;
        }
        // Keys differing, matched by row.
        size_t differing = 0, i = 0, j = 0;
        while (i < old->keys.size() || j < track.keys.size()) {
            if (j == track.keys.size() || (i < old->keys.size() && old->keys[i].row < track.keys[j].row)) {
                ++differing, ++i;
            } else if (i == old->keys.size() || track.keys[j].row < old->keys[i].row) {
                ++differing, ++j;
            } else {
                differing += old->keys[i].value != track.keys[j].value || old->keys[i].type != track.keys[j].type;
                ++i, ++j;
            }
        }
        if (differing) {
            changed.push_back(track.name);
            keys += differing;
        }
    }
    for (const TimelineTrack& track : before.tracks)
        if (!find(after, track.name))
            gone.push_back(track.name);
    std::vector<std::string> parts;
    if (!changed.empty())
        parts.push_back(std::to_string(keys) + (keys == 1 ? " key" : " keys") + " changed in " + list(changed));
    if (!added.empty())
        parts.push_back("tracks added: " + list(added));
    if (!gone.empty())
        parts.push_back("tracks gone: " + list(gone));
    if (parts.empty())
        return "nothing changed";
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? "; " : "") + parts[i];
    return text;
}

std::string timeOfDay()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

} // namespace studio
