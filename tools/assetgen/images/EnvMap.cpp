// The environment panorama. A reflection shows only a small, distorted piece of it, so
// it trades realism for contrast: a luminous sky band with soft clouds, a sharp dark
// skyline of industrial blocks right at the horizon, a hot sun, and a ground of patchy
// earth crossed by lighter tracks, falling off to a dark nadir.
#include "images/EnvMap.h"

#include "images/Noise.h"
#include "images/Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace assetgen::images {

namespace {

constexpr float sunRadius = 0.03f;
constexpr std::uint32_t cloudSeed = 2201u;
constexpr std::uint32_t skylineSeed = 2202u;
constexpr std::uint32_t groundSeed = 2203u;

const Vec3 sunDirection = environmentSun.direction();

// Skyline height in degrees at longitude u: runs of flat-topped blocks of random width
// and height (tanks, sheds, towers) over a low band of hills.
float skylineAt(float u)
{
    constexpr int blocks = 56;
    const float x = u * blocks;
    const int i = static_cast<int>(std::floor(x)) % blocks;
    const std::uint32_t h = hash2(i, 0, skylineSeed);
    const float hills = 2.5f + 6.0f * (0.5f + 0.5f * fbm(u * 6.0f, 0.5f, 4, 0.5f, skylineSeed + 1u, {6, 0}));
    float height = hills;
    // About half of the cells hold a structure; a few are tall towers.
    if (unitFloat(h) < 0.6f) {
        const float f = x - std::floor(x);
        const float start = 0.05f + 0.25f * unitFloat(hash32(h));
        const float end = start + 0.25f + 0.6f * unitFloat(hash32(h + 1u));
        if (f >= start && f <= std::min(end, 0.98f)) {
            const float tall = unitFloat(hash32(h + 2u));
            height += 1.5f + 10.0f * tall * tall;
        }
    }
    return height;
}

float skyline(float u)
{
    // Tabulated finer than the pixels so that block edges stay crisp but not jagged.
    constexpr int samples = 16384;
    static const std::vector<float> table = [] {
        std::vector<float> t(samples);
        for (int i = 0; i < samples; ++i)
            t[i] = skylineAt((static_cast<float>(i) + 0.5f) / samples);
        return t;
    }();
    const int i = std::clamp(static_cast<int>((u - std::floor(u)) * samples), 0, samples - 1);
    return table[i];
}

Color skyColor(Vec3 d, float pixelAngle)
{
    const float h = std::fmax(d.y, 0.0f);
    const float cosSun = std::fmax(dot(d, sunDirection), 0.0f);
    // Golden hour, to agree with the show's dusk sky while staying bright enough for
    // chrome: a peach horizon band under a steel-blue vault.
    Color c = mix(rgb(1.00f, 0.84f, 0.68f), rgb(0.62f, 0.64f, 0.80f), smoothstep(0.0f, 0.30f, h));
    c = mix(c, rgb(0.24f, 0.30f, 0.55f), smoothstep(0.25f, 1.0f, h));
    c = c + rgb(0.55f, 0.38f, 0.18f) * std::pow(cosSun, 8.0f);

    // Soft cumulus on a deck above: white on the sun side, grey-blue away from it.
    const float k = 1.0f / (d.y + 0.1f);
    const float n = fbm(d.x * k * 0.8f, d.z * k * 0.8f, 5, 0.5f, cloudSeed);
    const float density = smoothstep(0.05f, 0.4f, n) * smoothstep(0.02f, 0.2f, d.y) * 0.85f;
    const Color cloud = mix(rgb(0.58f, 0.56f, 0.66f), rgb(1.0f, 0.90f, 0.78f), 0.3f + 0.7f * std::pow(cosSun, 2.0f));
    c = mix(c, cloud, density);

    const float angle = std::acos(std::fmin(1.0f, dot(d, sunDirection)));
    c = c + rgb(1.0f, 0.95f, 0.85f) * (coverage(angle - sunRadius, pixelAngle) * 2.0f);
    c = c + rgb(1.0f, 0.85f, 0.6f) * (std::exp(-angle / 0.06f) * 0.8f);
    return c;
}

Color groundColor(Vec3 d)
{
    const float depth = std::fmax(-d.y, 1e-4f);
    const float k = 1.0f / depth;
    const float qx = d.x * k;
    const float qz = d.z * k;
    const float far = smoothstep(0.0f, 0.25f, depth);
    // Earth in patches of dust and darker oil-stained ground.
    const float patches = fbm(qx * 0.35f, qz * 0.35f, 4, 0.55f, groundSeed);
    Color c = mix(rgb(0.38f, 0.32f, 0.26f), rgb(0.12f, 0.11f, 0.11f), smoothstep(-0.25f, 0.3f, patches));
    // Straight tracks on a coarse grid give reflections lines to bend.
    // The viewer stands in the middle of a cell, not on a line.
    const float gx = std::fabs(qx * 0.25f - std::floor(qx * 0.25f) - 0.5f);
    const float gz = std::fabs(qz * 0.25f - std::floor(qz * 0.25f) - 0.5f);
    const float lineWidth = 0.03f;
    const float lines = std::max(1.0f - smoothstep(lineWidth * 0.5f, lineWidth, gx), 1.0f - smoothstep(lineWidth * 0.5f, lineWidth, gz));
    c = mix(c, rgb(0.45f, 0.42f, 0.38f), lines * far * 0.8f);
    // Haze near the horizon, darkness straight down.
    c = mix(rgb(0.70f, 0.60f, 0.52f), c, smoothstep(0.0f, 0.12f, depth));
    return c * mixf(1.0f, 0.35f, smoothstep(0.3f, 1.0f, depth));
}

} // namespace

Color environmentColor(Vec3 direction, float pixelAngle)
{
    const Vec3 d = normalize(direction);
    Color c = d.y >= 0.0f ? skyColor(d, pixelAngle) : groundColor(d);
    float u = 0.0f;
    float v = 0.0f;
    panoramaCoordinates(d, u, v);
    const float elevation = std::asin(std::fmin(1.0f, std::fmax(-1.0f, d.y)));
    const float top = skyline(u) * std::numbers::pi_v<float> / 180.0f;
    // Structures stand on the horizon and reach a hair below it, hiding the haze seam.
    const float solid = coverage(elevation - top, pixelAngle) * coverage(-0.004f - elevation, pixelAngle);
    if (solid > 0.0f) {
        const Color structure = mix(rgb(0.07f, 0.08f, 0.10f), rgb(0.16f, 0.17f, 0.20f), smoothstep(0.0f, top, elevation));
        c = mix(c, structure, solid);
    }
    c.a = 1.0f;
    return c;
}

} // namespace assetgen::images
