// The show's meshes and animations, and where under the data directory each is written.
#pragma once

#include <string>
#include <vector>

namespace assetgen::models {

inline constexpr const char* kBridgePath = "models/silta2.bobj";
inline constexpr const char* kTruckPath = "models/truck.bobj";
inline constexpr const char* kTruckAnimationPath = "models/anims/truck/anim.nwa";
inline constexpr const char* kPumpJackAnimationPath = "models/anims/pumppujaakko060514/test.nwa";
inline constexpr const char* kSkyBoxPath = "models/taivaslaatikko.obj";

// Writes every model file under dataDir; false when any could not be written. Prints
// one line per file (triangles) on standard error.
bool writeModels(const std::string& dataDir);

// Every path writeModels writes, relative to the data directory.
std::vector<std::string> modelFiles();

} // namespace assetgen::models
