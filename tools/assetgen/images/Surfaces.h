// Material textures for the show's models: cracked and grimy paint, brushed brass and
// the worn painted metal of the nose-cone model. All of them tile seamlessly, since the
// models repeat (or mirror) their texture coordinates.
#pragma once

#include "images/Raster.h"

namespace assetgen::images {

// Light, weathered paint split by a network of dark cracks, with grime and rust runs.
Raster makeCrack(int size);

// Brass brushed along x, with tarnish patches and fine scratches.
Raster makeBrass(int size);

// Orange-red enamel over aluminium: panel seams with rivets, chipped paint, dirt.
Raster makeNokka(int size);

} // namespace assetgen::images
