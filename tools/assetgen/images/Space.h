// The star field: a tileable night of dust, glowing nebula and stars of every size,
// a few of them bright enough to show diffraction spikes.
#pragma once

#include "images/Raster.h"

namespace assetgen::images {

Raster makeSpace(int size);

} // namespace assetgen::images
