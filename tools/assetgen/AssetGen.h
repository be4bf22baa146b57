// The show's generated data: music, images and meshes, all made by code in this folder
// so the repository holds sources, never binaries. Every generator is deterministic.
#pragma once

#include <string>

namespace assetgen {

// Each writes its files under dataDir (the show's "./data") and reports failures on
// standard error; false when any file could not be written.
bool generateMusic(const std::string& dataDir);
bool generateImages(const std::string& dataDir);
bool generateModels(const std::string& dataDir);
// The meshes of the engine's alternative scenes (occlusion, motion blur, reflections).
bool generateSceneMeshes(const std::string& dataDir);

} // namespace assetgen
