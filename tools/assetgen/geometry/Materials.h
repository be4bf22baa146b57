// Surface materials of the show's models. A mesh carries each triangle's material in its
// texture coordinates: u holds material * kMaterialStride plus the surface's own u, which
// stays within half a stride of zero. The main scene's shaders decode the material
// (data/shaders/envmap/materials.glsl, whose MAT_ constants must match these numbers) and
// shade each one procedurally, so one environment image serves every object.
#pragma once

#include <cmath>

namespace assetgen {

inline constexpr float kMaterialStride = 1024.0f;

enum class Material : int {
    Plain = 0, // no material: texture coordinates exactly as built
    // Moving models: their detail follows the surface's own texture coordinates.
    CabPaint = 1,
    Glass = 2,
    Chrome = 3,
    Rubber = 4,
    DarkSteel = 5,
    TrailerPanel = 6,
    Livery = 7,
    HeadLamp = 8,
    TailLamp = 9,
    JackPaint = 10,
    JackAccent = 11,
    ConcretePad = 12,
    // Standing structures and ground: their detail follows the world position.
    Concrete = 13,
    Cable = 14,
    Railing = 15,
    LampPost = 16,
    StreetLamp = 17,
    Asphalt = 18,
    Kerb = 19,
    Terrain = 20,
    Water = 21,
    Tank = 22,
    Pipe = 23,
};

inline constexpr int kMaterialCount = 24;

// The material a texture coordinate u carries.
inline int materialOf(float u)
{
    return static_cast<int>(std::floor(u / kMaterialStride + 0.5f));
}

// The surface's own u, without its material.
inline float surfaceU(float u)
{
    return u - static_cast<float>(materialOf(u)) * kMaterialStride;
}

} // namespace assetgen
