// The pump jack's part meshes, each in its own frame: the base and samson post in the
// model frame (base on y = 0), the beam about its pivot, the crank about its shaft, the
// pitman arms hanging from their top joint, the bridle about its carrier bar.
#pragma once

#include <vector>

#include "mesh/ObjReader.h"
#include "models/PumpJackLinkage.h"

namespace assetgen::models {

// One mesh per entry of kPumpJackParts, in that order.
std::vector<Tarvo::ObjMesh> buildPumpJackParts(const PumpJackGeometry& geometry);

} // namespace assetgen::models
