// The river valley the bridge crosses: flat ground (y = 0) on both sides of the valley,
// banks falling to a river about 25 m below, and hills rising at the edges of the land.
// The river runs along x; the bridge crosses it along z.
#pragma once

#include "geometry/MeshBuilder.h"

namespace assetgen::models {

inline constexpr float kTerrainHalfX = 480.0f;
inline constexpr float kTerrainHalfZ = 600.0f;
// Ground is exactly y = kValleyFloor for -80 <= z <= 50 (the oil field), and y = 0 for kPlateauStart <= |z| <= kPlateauEnd and
// kRoadsideX <= |x| <= kPlateauHalfX, where the pump jacks stand; nearer x = 0 the road
// runs at y = 0 in a shallow cut.
inline constexpr float kPlateauStart = 150.0f;
inline constexpr float kPlateauEnd = 330.0f;
inline constexpr float kPlateauHalfX = 260.0f;
inline constexpr float kRoadsideX = 16.0f;
inline constexpr float kRiverLevel = -25.3f;
// The river runs along x at this z; between it and the south bank the valley floor is
// flat at kValleyFloor, where the scene's pump jacks stand under the bridge.
inline constexpr float kRiverCentre = 80.0f;
inline constexpr float kValleyFloor = -25.0f;
// Beyond |x| = kValleyEndX the valley floor rises into hills (the river keeps a gorge).
inline constexpr float kValleyEndX = 330.0f;

// Deterministic smooth noise in [-1, 1].
float valueNoise(float x, float z);

// Ground height at (x, z).
float terrainHeight(float x, float z);

// The ground as a height field, the river's surface, and the road on the plateaus
// leading to the bridge (|z| from the bridge's ends out to the edge).
void addTerrain(MeshBuilder& b, float bridgeEnd, float roadHalfWidth);

} // namespace assetgen::models
