// The environment image that the show's metal surfaces reflect: a bright equirectangular
// world (layout of Panorama.h) whose strong horizon line, sun highlight and structured
// ground are what make a reflective surface read as metal.
#pragma once

#include "images/Panorama.h"
#include "images/Raster.h"

namespace assetgen::images {

// The sun stands at the sky texture's azimuth, higher up, so reflections agree with the sky.
constexpr SunPlacement environmentSun{0.06f, 24.0f};

Color environmentColor(Vec3 direction, float pixelAngle);

} // namespace assetgen::images
