// One-shot drum sounds rendered once into mono samples and then placed on the grid:
// the kick, open and closed hats, a shaker and a rim shot. Each has a few variants
// (different noise) so repeated hits do not sound machine-gunned.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen::music {

using Sample = std::vector<float>;

// A deep, round kick: a sine whose pitch falls from a knock to about 46 Hz, a soft
// noise click on top, gently saturated. Ends in silence before the next beat.
Sample renderKick();

// Hats mix filtered noise with a bank of inharmonic square waves; `open` rings longer.
Sample renderHat(bool open, uint64_t seed);

Sample renderShaker(uint64_t seed);

Sample renderRim(uint64_t seed);

// Adds `sample` × gain into two channels from frame `start` on, clipped to their length.
void mixSample(const Sample& sample, int64_t start, float gainL, float gainR, std::vector<float>& left,
               std::vector<float>& right);

// Adds `sample` × gain into one channel (a send bus).
void mixSample(const Sample& sample, int64_t start, float gain, std::vector<float>& bus);

} // namespace assetgen::music
