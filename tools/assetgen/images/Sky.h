// The show's sky box texture: a dusk panorama with a low sun, glowing clouds, distant
// hills and a sea that mirrors the sky, in the equirectangular layout of Panorama.h.
#pragma once

#include "images/Panorama.h"
#include "images/Raster.h"

namespace assetgen::images {

// Where the sun stands in the sky texture: longitude (panorama u) and elevation. The
// camera's rest direction, world +x, is u = 0, so the opening view looks into the dusk.
constexpr float skySunU = 0.06f;
constexpr float skySunElevationDegrees = 6.0f;

// The sky seen along one direction (y up).
Color skyColor(Vec3 direction, float pixelAngle);

// The whole panorama, width x height (2:1 keeps pixels square in angle).
Raster makeSky(int width, int height);

} // namespace assetgen::images
