// The scenes a capture can render, by name. Each entry builds its scene while the demo
// instance's context is current and hands it to the instance, so the capture draws it
// through the same run() as the show.
#pragma once

#include <string>
#include <vector>

namespace Tarvo {
class aDemo;
class PostScene;
} // namespace Tarvo

namespace capture {

struct SceneEntry {
    const char* name;
    const char* description;
    // Builds the scene into demo and returns it; null renders the cleared frame.
    Tarvo::PostScene* (*create)(Tarvo::aDemo& demo);
};

const std::vector<SceneEntry>& sceneRegistry();
std::vector<std::string> sceneNames();
// Null for a name that is not registered.
const SceneEntry* findScene(const std::string& name);

} // namespace capture
