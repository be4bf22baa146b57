// The meshes of the engine's alternative scenes: a frame with walls and pillars and a nose
// cone standing in it (occlusion), a cube, a terrain and a sky box (motion blur), the
// terrain and the frame again (reflections). Their sizes fit the scenes' cameras, which
// look at the origin from about six units away.
#pragma once

#include "mesh/ObjReader.h"

namespace assetgen::scenes {

// Height of the terrain: a flat floor around the origin, just under the frame's base,
// rising into hills further out.
float terrainHeight(float x, float z);

// Height of the frame's base slab underside and its top: the frame and the cone stand on it.
inline constexpr float floorBottom = -1.0f;
inline constexpr float floorTop = -0.8f;

Tarvo::ObjMesh buildNokka();
Tarvo::ObjMesh buildRunko();
Tarvo::ObjMesh buildCube();
Tarvo::ObjMesh buildTerrain();
Tarvo::ObjMesh buildSkybox();

} // namespace assetgen::scenes
