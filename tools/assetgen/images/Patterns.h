// Picture-like textures: the zebra stripes that feed the shader-toy scene and the
// painted board ("tavlo") of the reflection scene.
#pragma once

#include "images/Raster.h"

namespace assetgen::images {

// Black and white stripes that wander and fork like a zebra's coat; tiles seamlessly
// in both directions.
Raster makeZebra(int size);

// A small oil painting of a dusk landscape, with brush strokes and canvas weave, in a
// dark wooden frame.
Raster makeTavlo(int size);

} // namespace assetgen::images
