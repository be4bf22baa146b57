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
    // Where the scene's tracks are when they are not the show's: the track names are
    // shared by all scenes, and values that suit the main scene can ruin another.
    const char* trackBase = nullptr;
    // For a scene whose picture depends on every frame before it: brings the scene to a
    // frame at time (seconds) without drawing, so that a single row can be reached by
    // stepping through the frames before it. Null for scenes that need only the frame
    // just before.
    void (*advance)(Tarvo::PostScene& scene, double time) = nullptr;
};

const std::vector<SceneEntry>& sceneRegistry();
std::vector<std::string> sceneNames();
// Null for a name that is not registered.
const SceneEntry* findScene(const std::string& name);

} // namespace capture
