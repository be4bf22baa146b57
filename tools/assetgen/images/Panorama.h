// The equirectangular (longitude x latitude) layout shared by the sky box texture and
// the environment image: u runs once around the vertical axis, v from the zenith (top
// row, v = 0) to the nadir (bottom row, v = 1). The texture loader keeps the decoder's
// row order, so the top row is texture coordinate t = 0 in GL.
#pragma once

#include <numbers>

#include "images/Raster.h"

namespace assetgen::images {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

float dot(Vec3 a, Vec3 b);
Vec3 normalize(Vec3 v);

// Unit direction (y up) for panorama coordinates: longitude 2*pi*u from +x towards +z,
// polar angle pi*v from +y.
Vec3 panoramaDirection(float u, float v);

// Inverse of panoramaDirection for a non-zero direction: u in [0, 1), v in [0, 1].
void panoramaCoordinates(Vec3 direction, float& u, float& v);

// Direction with the given longitude (u) and elevation above the horizon in degrees.
Vec3 directionFromElevation(float u, float elevationDegrees);

// Where a panorama's sun stands: longitude (panorama u) and elevation in degrees.
struct SunPlacement {
    float u = 0.0f;
    float elevationDegrees = 0.0f;

    Vec3 direction() const { return directionFromElevation(u, elevationDegrees); }
    float v() const { return 0.5f - elevationDegrees / 180.0f; }
};

// A width x height panorama of shader(direction, pixelAngle) at each pixel centre, where
// pixelAngle is the angular height of one pixel in radians (for anti-aliasing edges).
template <class Shader>
Raster shadedPanorama(int width, int height, Shader&& shader)
{
    Raster raster(width, height);
    const float pixelAngle = std::numbers::pi_v<float> / static_cast<float>(height);
    raster.shade([&](int x, int y) {
        const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
        const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
        return shader(panoramaDirection(u, v), pixelAngle);
    });
    return raster;
}

} // namespace assetgen::images
