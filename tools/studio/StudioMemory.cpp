#include "studio/StudioMemory.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "studio/Command.h"

namespace studio {

void StudioMemory::load()
{
    scenes.clear();
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string scene, row, from, to, on;
        SceneMemory memory;
        if (!(words >> scene >> row >> from >> to >> on) || !parseDecimal(row, memory.row) ||
            !parseDecimal(from, memory.loop.from) || !parseDecimal(to, memory.loop.to) || (on != "on" && on != "off") ||
            !(memory.loop.to > memory.loop.from) || memory.row < 0.0)
            continue;
        memory.loop.on = on == "on";
        scenes[scene] = memory;
    }
}

bool StudioMemory::store(std::string& why) const
{
    std::string text = "# vantor-studio: where each scene was left (scene row loop-from loop-to looping)\n";
    for (const auto& [scene, memory] : scenes) {
        char line[256];
        std::snprintf(line, sizeof line, "%s %.17g %.17g %.17g %s\n", scene.c_str(), memory.row, memory.loop.from,
            memory.loop.to, memory.loop.on ? "on" : "off");
        text += line;
    }
    return Tarvo::writeFileAtomically(file, text.data(), text.size(), why);
}

const SceneMemory* StudioMemory::find(const std::string& scene) const
{
    const auto it = scenes.find(scene);
    return it == scenes.end() ? nullptr : &it->second;
}

} // namespace studio
