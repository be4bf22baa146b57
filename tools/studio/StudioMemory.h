// Where each scene was left: the row and the loop, kept between runs in a small text file
// in the working folder (one line a scene: "SCENE ROW LOOPFROM LOOPTO on|off"), so that
// the studio opens where the work stopped. A file that is missing or damaged remembers
// nothing; it is written whole or not at all.
#pragma once

#include <map>
#include <string>

#include "studio/Transport.h"

namespace studio {

struct SceneMemory {
    double row = 0.0;
    Loop loop;
};

class StudioMemory {
public:
    static constexpr const char* defaultPath = ".vantor-studio";

    explicit StudioMemory(std::string path = defaultPath) : file(std::move(path)) {}

    // Reads the file; lines that do not parse are skipped.
    void load();
    // False with why when the file cannot be written.
    bool store(std::string& why) const;

    const SceneMemory* find(const std::string& scene) const;
    void remember(const std::string& scene, const SceneMemory& memory) { scenes[scene] = memory; }

private:
    std::string file;
    std::map<std::string, SceneMemory> scenes;
};

} // namespace studio
