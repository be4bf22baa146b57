// Screen-space masks and sprites: the vignette that darkens the picture's edges and
// the soft snowflake sprite of the particle systems.
#pragma once

#include "images/Raster.h"

namespace assetgen::images {

// White centre falling off smoothly to dark corners; RGB, alpha 1.
Raster makeVignette(int width, int height);

// A soft round flake with six faint arms on a transparent square; white, with the
// shape in alpha, which is exactly 0 along the whole border so no quad edge shows.
Raster makeParticle(int size);

} // namespace assetgen::images
