// The sky box: a sphere seen from inside whose texture coordinates are the equirectangular
// panorama coordinates of the world direction it shows. The scene draws it turned by
// -90 degrees about z, which takes object (x, y, z) to world (y, -x, z), so world up is
// object -x.
#pragma once

#include <glm/glm.hpp>

#include "mesh/ObjReader.h"

namespace assetgen::models {

inline constexpr float kSkyRadius = 10.0f;
inline constexpr int kSkyRings = 32;    // zenith to nadir
inline constexpr int kSkySegments = 64; // once around

glm::vec3 skyWorldFromObject(const glm::vec3& object);
glm::vec3 skyObjectFromWorld(const glm::vec3& world);

// Panorama coordinates of a world direction: u = longitude from +x towards +z over one
// turn, in [0, 1); v = angle from the zenith over pi (0 at the zenith, the image's
// first row, 1 at the nadir).
glm::vec2 skyTexCoord(const glm::vec3& worldDirection);

// Inward-facing triangles; the seam at u = 0 / 1 has its own vertices on both sides so
// no triangle's coordinates run back across the image.
Tarvo::ObjMesh buildSkyBox();

} // namespace assetgen::models
