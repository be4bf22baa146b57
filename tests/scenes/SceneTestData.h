// A tiny data directory for rendering scenes in tests: the repository's shaders, a box
// for every mesh, flat-coloured images and the tracks a test asks for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/ScratchDir.h"
#include "sync/SyncTracks.h"

namespace scenetest {

using Tracks = std::map<std::string, std::vector<TrackKey>>;

// Fills the scratch folder's data/ afresh with everything the main scene opens, writes the
// tracks and makes the folder the working directory (scenes read "./data/..."), with a
// fresh track store so that these tracks are the ones scenes get.
void makeSceneData(const testsupport::ScratchDir& scratch, const Tracks& tracks);

// Text of an axis-aligned box OBJ (outward normals, unit UVs) with the given half size.
std::string boxObj(float halfSize);

} // namespace scenetest
