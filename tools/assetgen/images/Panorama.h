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

// Fills a panorama: shader(direction, pixelAngle) for each pixel centre, where
// pixelAngle is the angular height of one pixel in radians (for anti-aliasing edges).
template <class Shader>
void shadePanorama(Raster& raster, Shader&& shader)
{
    const float pixelAngle = std::numbers::pi_v<float> / static_cast<float>(raster.height());
    raster.shade([&](int x, int y) {
        const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(raster.width());
        const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(raster.height());
        return shader(panoramaDirection(u, v), pixelAngle);
    });
}

} // namespace assetgen::images
