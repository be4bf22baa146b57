// What stands on the valley floor besides the pump jacks: a service road and a pipeline
// running along the valley (along x) under the bridge, and oil storage tanks scattered
// over the field, clear of the jacks, the bridge's feet and the camera's paths.
#pragma once

#include "geometry/MeshBuilder.h"

namespace assetgen::models {

inline constexpr float kValleyRoadZ = -45.0f;
inline constexpr float kValleyRoadHalfWidth = 3.0f;
inline constexpr float kPipelineZ = 40.0f;

struct OilTank {
    float x, z, radius, height;
};

inline constexpr OilTank kOilTanks[] = {
    {75.0f, -32.0f, 7.0f, 9.0f},    {93.0f, -10.0f, 5.0f, 7.0f},  {118.0f, -66.0f, 9.0f, 11.0f},
    {-122.0f, 12.0f, 8.0f, 10.0f},  {-145.0f, -28.0f, 6.0f, 8.0f}, {165.0f, 18.0f, 10.0f, 12.0f},
};

void addValley(MeshBuilder& b);

} // namespace assetgen::models
