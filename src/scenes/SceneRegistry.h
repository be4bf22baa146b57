// Every scene the engine can run, by name: the show's main scene first (the demo
// instance's createScene builds it from here), then the others, which vantor-capture and
// vantor-studio take by the same names. Each entry builds its scene while the demo
// instance's context is current and hands it to the instance, so every program draws it
// through the same run().
#pragma once

#include <span>
#include <string>
#include <vector>

namespace Tarvo {
class aDemo;
class PostScene;
} // namespace Tarvo

namespace OrvelDemo {

struct SceneEntry {
    const char* name;
    const char* description;
    // Builds the scene into demo and returns it; null renders the cleared frame.
    Tarvo::PostScene* (*create)(Tarvo::aDemo& demo);
    // Where the scene's tracks are when they are not the show's: the track names are
    // shared by all scenes, and values that suit the main scene can ruin another.
    const char* trackBase = nullptr;
    // The timeline text those tracks are compiled from; null for the show's own
    // ("./data/timeline.txt"). vantor-studio watches it.
    const char* timeline = nullptr;
    // For a scene whose picture depends on every frame before it: brings the scene to a
    // frame at time (seconds) without drawing, so that a single row can be reached by
    // stepping through the frames before it. Null for scenes that need only the frame
    // just before.
    void (*advance)(Tarvo::PostScene& scene, double time) = nullptr;
    // The tracks the scene reads, in the order to show them (the studio's overlay); null
    // for those its timeline defines.
    std::vector<std::string> (*trackNames)() = nullptr;
};

std::span<const SceneEntry> sceneRegistry();
// The show's own scene, the registry's first entry.
const SceneEntry& mainScene();
// The timeline text of the entry's tracks.
std::string timelinePath(const SceneEntry& entry);
std::vector<std::string> sceneNames();
// Null for a name that is not registered.
const SceneEntry* findScene(const std::string& name);

} // namespace OrvelDemo
