// Equirectangular panorama coordinates; see Panorama.h.
#include "images/Panorama.h"

#include <cmath>
#include <numbers>

namespace assetgen::images {

namespace {
}

float dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 normalize(Vec3 v)
{
    const float l = std::sqrt(dot(v, v));
    if (!(l > 0.0f))
        return {0.0f, 1.0f, 0.0f};
    return {v.x / l, v.y / l, v.z / l};
}

Vec3 panoramaDirection(float u, float v)
{
    const float phi = 2.0f * std::numbers::pi_v<float> * u;
    const float theta = std::numbers::pi_v<float> * v;
    const float s = std::sin(theta);
    return {s * std::cos(phi), std::cos(theta), s * std::sin(phi)};
}

void panoramaCoordinates(Vec3 direction, float& u, float& v)
{
    const Vec3 d = normalize(direction);
    float phi = std::atan2(d.z, d.x);
    if (phi < 0.0f)
        phi += 2.0f * std::numbers::pi_v<float>;
    u = phi / (2.0f * std::numbers::pi_v<float>);
    if (u >= 1.0f)
        u = 0.0f;
    v = std::acos(std::fmax(-1.0f, std::fmin(1.0f, d.y))) / std::numbers::pi_v<float>;
}

Vec3 directionFromElevation(float u, float elevationDegrees)
{
    return panoramaDirection(u, 0.5f - elevationDegrees / 180.0f);
}

} // namespace assetgen::images
