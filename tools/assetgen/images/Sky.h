// The show's sky box texture: a dusk panorama with a low sun, glowing clouds, distant
// hills and a sea that mirrors the sky, in the equirectangular layout of Panorama.h.
#pragma once

#include "images/Panorama.h"
#include "images/Raster.h"

namespace assetgen::images {

// Where the sun stands in the sky texture. The camera's rest direction, world +x, is
// u = 0, so the opening view looks into the dusk.
constexpr SunPlacement skySun{0.06f, 6.0f};

// The sky seen along one direction (y up); a 2:1 panorama of it keeps pixels square in angle.
Color skyColor(Vec3 direction, float pixelAngle);

} // namespace assetgen::images
