// A tiny data directory for rendering scenes in tests: the repository's shaders, a box
// for every mesh, flat-coloured images and the tracks a test asks for.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "sync/SyncTracks.h"

namespace scenetest {

using Tracks = std::map<std::string, std::vector<TrackKey>>;

// Creates DIR/data with everything the main scene opens, writes the tracks and makes
// DIR the working directory (scenes read "./data/..."), with a fresh track store so that
// these tracks are the ones scenes get. Returns DIR.
std::filesystem::path makeSceneData(const std::string& name, const Tracks& tracks);

// Text of an axis-aligned box OBJ (outward normals, unit UVs) with the given half size.
std::string boxObj(float halfSize);

} // namespace scenetest
