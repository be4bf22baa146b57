#include "studio/Reloader.h"

#include <map>

#include "engine/ShaderProgram.h"

namespace studio {

Reloader::Reloader(Sync* sync, const std::string& timelinePath, FileWatcher::Method method)
    : timelineReloader(sync, timelinePath), files(method)
{
}

void Reloader::watchFiles()
{
    std::vector<std::string> watched = Tarvo::shaderFiles();
    watched.insert(watched.begin(), timelineReloader.path());
    files.watch(watched);
}

ReloadResult Reloader::reloadTimeline()
{
    return timelineReloader.reload();
}

ReloadResult Reloader::reloadShader(const std::vector<std::string>& names)
{
    ReloadResult result;
    result.kind = ReloadResult::Kind::Shader;
    result.ok = true;
    result.when = timeOfDay();
    result.path = names.empty() ? std::string() : reportedPath(names.front());
    for (const std::string& name : names) {
        for (const Tarvo::ShaderRebuild& rebuilt : Tarvo::rebuildShadersUsing(name)) {
            if (rebuilt.linked)
                continue;
            result.ok = false;
            result.errors.push_back(rebuilt.vertexPath + " + " + rebuilt.fragmentPath + ":\n" + rebuilt.log);
        }
    }
    // A rebuilt program may include other files now, or no longer.
    watchFiles();
    return result;
}

std::vector<ReloadResult> Reloader::poll()
{
    const std::vector<std::string> saved = files.changed();
    if (saved.empty())
        return {};
    return reloadNames(saved, false);
}

std::vector<ReloadResult> Reloader::reloadAll()
{
    return reloadNames(files.rescan(), true);
}

std::vector<ReloadResult> Reloader::reloadNames(const std::vector<std::string>& names, bool timelineAnyway)
{
    // A file may be known by several spellings (./data/a.fs, data/a.fs): one reload each.
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> spellings;
    bool timelineSaved = timelineAnyway;
    for (const std::string& name : names) {
        const std::string path = reportedPath(name);
        if (path == timelineReloader.path()) {
            timelineSaved = true;
            continue;
        }
        if (!spellings.count(path))
            order.push_back(path);
        spellings[path].push_back(name);
    }
    std::vector<ReloadResult> results;
    if (timelineSaved && (!timelineGate || timelineGate()))
        results.push_back(reloadTimeline());
    for (const std::string& path : order)
        results.push_back(reloadShader(spellings[path]));
    return results;
}

} // namespace studio
