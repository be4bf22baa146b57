// Deterministic noise for the generated images: integer hashing, two-dimensional
// gradient noise, fractal sums and cellular (Worley) noise.
// Every function is pure: the same arguments give the same bits on every run.
#pragma once

#include <cstdint>

namespace assetgen::images {

// A well-mixed 32-bit hash; consecutive inputs give unrelated outputs. Two rounds of
// xor-shift-multiply (the "lowbias32" constants). Inline: noise calls it per corner.
inline std::uint32_t hash32(std::uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7feb352du;
    value ^= value >> 15;
    value *= 0x846ca68bu;
    value ^= value >> 16;
    return value;
}

// Coordinates are spread by odd multipliers before mixing, so (x, y) and (y, x) or
// neighbouring seeds do not collide.
inline std::uint32_t hash2(int x, int y, std::uint32_t seed)
{
    const std::uint32_t inner = hash32(static_cast<std::uint32_t>(y) * 0x9e3779b1u + seed * 0x85ebca77u);
    return hash32(static_cast<std::uint32_t>(x) * 0xc2b2ae3du + inner);
}

inline std::uint32_t hash3(int x, int y, int z, std::uint32_t seed)
{
    return hash32(static_cast<std::uint32_t>(x) * 0x27d4eb2fu + hash2(y, z, seed));
}

// Maps a hash to [0, 1).
inline float unitFloat(std::uint32_t hash)
{
    return static_cast<float>(hash >> 8) * (1.0f / 16777216.0f);
}

// Lattice period for tileable noise: a lattice coordinate is taken modulo the period
// on each axis where it is positive, so noise sampled over [0, period) repeats exactly.
struct Period {
    int x = 0;
    int y = 0;
};

// Gradient noise, roughly in [-1, 1] and 0 at every lattice point.
float perlin(float x, float y, std::uint32_t seed, Period period = {});

// Fractal sum of gradient noise: octave i has frequency 2^i and amplitude gain^i; the
// sum is normalised by the total amplitude, so it stays roughly in [-1, 1]. A period
// doubles with each octave, keeping every octave tileable on the same square.
float fbm(float x, float y, int octaves, float gain, std::uint32_t seed, Period period = {});

// 1 - |noise| summed over octaves: sharp ridges where the noise crosses zero, in [0, 1].
float ridged(float x, float y, int octaves, float gain, std::uint32_t seed, Period period = {});

// Distances to the nearest and second-nearest feature point of a jittered grid (one
// point per unit cell), and a hash identifying the nearest point's cell.
struct Cellular {
    float f1 = 0.0f;
    float f2 = 0.0f;
    std::uint32_t cell = 0;
};
Cellular cellular(float x, float y, std::uint32_t seed, Period period = {});

// Distance from (x, y) to the nearest border between the cells of the same jittered
// grid: unlike f2 - f1 it is a true distance, so lines drawn with it keep their width.
float cellBorder(float x, float y, std::uint32_t seed, Period period = {});

} // namespace assetgen::images
