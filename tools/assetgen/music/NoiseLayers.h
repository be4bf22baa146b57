// Noise layers: the vinyl crackle and hiss under the whole track, and the filtered
// noise riser that lifts the end of the break. Both follow the arrangement's levels.
#pragma once

#include "music/Buses.h"

namespace assetgen::music {

// Crackle and hiss on the dry bus, independent in each channel.
void renderCrackle(Buses& buses);

// Noise through a band-pass that sweeps up while the riser level is up; it goes to the
// ducked bus and into the reverb.
void renderRiser(Buses& buses);

} // namespace assetgen::music
