// The dusk sky panorama. The upper half is an atmosphere gradient warmed towards the low
// sun, a streaky cloud layer projected onto a plane above the viewer (so clouds shrink
// towards the horizon as real ones do) and a few early stars; the horizon carries a
// hazy line of hills away from the sun; the lower half is a sea whose wavy surface
// mirrors all of that with a Fresnel weight, which also gives the sun its glitter path.
#include "images/Sky.h"

#include "images/Noise.h"
#include "images/Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace assetgen::images {

namespace {

constexpr float sunRadius = 0.012f; // radians, a little larger than the real sun
constexpr std::uint32_t cloudSeed = 1201u;
constexpr std::uint32_t hillSeed = 1202u;
constexpr std::uint32_t waveSeed = 1203u;
constexpr std::uint32_t starSeed = 1204u;

const Vec3 sunDirection = skySun.direction();

// 0 facing away from the sun's azimuth, 1 facing it.
float sunwardness(Vec3 d)
{
    const Vec3 s = sunDirection;
    const float lh = std::sqrt(d.x * d.x + d.z * d.z);
    const float ls = std::sqrt(s.x * s.x + s.z * s.z);
    if (!(lh > 0.0f) || !(ls > 0.0f))
        return 0.5f;
    return 0.5f + 0.5f * (d.x * s.x + d.z * s.z) / (lh * ls);
}

Color atmosphere(Vec3 d)
{
    const float h = std::fmax(d.y, 0.0f);
    const float toward = sunwardness(d);
    const Color zenith = rgb(0.05f, 0.07f, 0.20f);
    const Color upper = rgb(0.20f, 0.18f, 0.40f);
    const Color low = mix(rgb(0.62f, 0.32f, 0.42f), rgb(1.00f, 0.55f, 0.26f), toward * toward);
    const Color horizon = mix(rgb(0.80f, 0.52f, 0.50f), rgb(1.00f, 0.80f, 0.50f), toward * toward * toward);

    Color c = mix(horizon, low, smoothstep(0.0f, 0.10f, h));
    c = mix(c, upper, smoothstep(0.06f, 0.45f, h));
    c = mix(c, zenith, smoothstep(0.35f, 1.0f, h));

    const float cosSun = std::fmax(dot(d, sunDirection), 0.0f);
    const float wide = std::pow(cosSun, 6.0f) * (1.0f - 0.7f * h);
    const float tight = std::pow(cosSun, 90.0f);
    c = c + rgb(0.55f, 0.30f, 0.12f) * wide + rgb(0.60f, 0.45f, 0.25f) * tight;
    return c;
}

Color sunDisc(Vec3 d, float pixelAngle)
{
    const float angle = std::acos(std::fmin(1.0f, std::fmax(-1.0f, dot(d, sunDirection))));
    const float disc = coverage(angle - sunRadius, pixelAngle);
    const float halo = std::exp(-angle / 0.02f) * 0.6f;
    return rgb(1.0f, 0.95f, 0.80f) * disc + rgb(1.0f, 0.75f, 0.45f) * halo;
}

struct Cloud {
    float density = 0.0f;
    float thickness = 0.0f;
};

Cloud clouds(Vec3 d, int octaves)
{
    if (d.y <= 0.004f)
        return {};
    // Project onto a cloud deck above the viewer; the small offset keeps the horizon
    // from running to infinity.
    const float k = 1.0f / (d.y + 0.05f);
    float px = d.x * k * 0.9f;
    float pz = d.z * k * 0.9f;
    // Domain warp, then stretch across x for the long streaks of evening altostratus.
    const float wx = fbm(px * 0.7f, pz * 0.7f, 3, 0.5f, cloudSeed + 10u);
    const float wz = fbm(px * 0.7f + 5.2f, pz * 0.7f + 1.3f, 3, 0.5f, cloudSeed + 20u);
    px += 0.35f * wx;
    pz += 0.35f * wz;
    const float n = fbm(px * 0.5f, pz * 1.6f, octaves, 0.55f, cloudSeed);
    const float fadeHorizon = smoothstep(0.01f, 0.14f, d.y);
    Cloud c;
    c.density = smoothstep(-0.10f, 0.25f, n) * fadeHorizon * 0.95f;
    c.thickness = smoothstep(0.0f, 0.45f, n);
    return c;
}

Color cloudColor(Vec3 d, const Cloud& cloud)
{
    const float toward = sunwardness(d);
    const float cosSun = std::fmax(dot(d, sunDirection), 0.0f);
    const Color shadow = mix(rgb(0.16f, 0.12f, 0.24f), rgb(0.30f, 0.16f, 0.22f), toward);
    const Color lit = mix(rgb(0.62f, 0.38f, 0.50f), rgb(1.00f, 0.52f, 0.30f), toward * toward);
    // Low clouds catch the sunset on their undersides; high ones sit in the blue.
    const float underlight = 1.0f - smoothstep(0.05f, 0.6f, d.y);
    Color c = mix(shadow, lit, 0.25f + 0.6f * underlight * (1.0f - 0.5f * cloud.thickness));
    // Thin edges near the sun glow gold (light passing through).
    const float rim = (1.0f - cloud.thickness) * std::pow(cosSun, 10.0f);
    return c + rgb(1.0f, 0.70f, 0.35f) * (0.9f * rim);
}

Color stars(Vec3 d)
{
    const float high = smoothstep(0.45f, 0.9f, d.y);
    if (high <= 0.0f)
        return rgb(0.0f, 0.0f, 0.0f);
    const int cx = static_cast<int>(std::floor(d.x * 320.0f));
    const int cy = static_cast<int>(std::floor(d.y * 320.0f));
    const int cz = static_cast<int>(std::floor(d.z * 320.0f));
    const std::uint32_t h = hash3(cx, cy, cz, starSeed);
    if (unitFloat(h) > 0.004f)
        return rgb(0.0f, 0.0f, 0.0f);
    const float b = (0.25f + 0.5f * unitFloat(hash32(h))) * high;
    return rgb(0.9f, 0.92f, 1.0f) * b;
}

// Height of the distant hills in degrees above the horizon at longitude u; they leave
// the sea horizon open below the sun.
float hillElevationAt(float u)
{
    const float n = fbm(u * 9.0f, 0.37f, 6, 0.55f, hillSeed, {9, 0});
    float distance = std::fabs(u - skySun.u);
    distance = std::fmin(distance, 1.0f - distance);
    const float open = smoothstep(0.07f, 0.20f, distance);
    return std::fmax(0.0f, n * 7.0f + 1.8f) * open;
}

// The ridge line depends on longitude only: tabulate it once, finer than any pixel.
float hillElevation(float u)
{
    constexpr int samples = 8192;
    static const std::vector<float> table = [] {
        std::vector<float> t(samples + 1);
        for (int i = 0; i <= samples; ++i)
            t[i] = hillElevationAt(static_cast<float>(i) / samples);
        return t;
    }();
    const float x = (u - std::floor(u)) * samples;
    const int i = std::min(static_cast<int>(x), samples - 1);
    return mixf(table[i], table[i + 1], x - static_cast<float>(i));
}

// Everything at or above the horizon: sky, sun, clouds and hills. Reflections ask for
// fewer cloud octaves: the waves scramble the finest detail anyway.
Color aboveHorizon(Vec3 d, float pixelAngle, int cloudOctaves)
{
    const Cloud cloud = clouds(d, cloudOctaves);
    const float clear = 1.0f - cloud.density;
    Color c = atmosphere(d) + stars(d) * (clear * clear * clear) + sunDisc(d, pixelAngle);
    if (cloud.density > 0.0f)
        c = mix(c, cloudColor(d, cloud), cloud.density);

    float u = 0.0f;
    float v = 0.0f;
    panoramaCoordinates(d, u, v);
    const float elevation = std::asin(std::fmin(1.0f, std::fmax(-1.0f, d.y)));
    const float ridge = hillElevation(u) * std::numbers::pi_v<float> / 180.0f;
    const float hill = coverage(elevation - ridge, pixelAngle) * (ridge > 0.0f ? 1.0f : 0.0f);
    if (hill > 0.0f) {
        // Far hills are mostly haze: a violet silhouette a little darker at its foot.
        const float foot = smoothstep(0.0f, ridge + 1e-4f, elevation);
        const Color land = mix(rgb(0.20f, 0.12f, 0.20f), rgb(0.34f, 0.22f, 0.30f), foot);
        c = mix(c, mix(land, atmosphere(d), 0.25f), hill);
    }
    c.a = 1.0f;
    return c;
}

Color sea(Vec3 d, float pixelAngle)
{
    const float depth = -d.y;
    const float k = 1.0f / std::fmax(depth, 0.002f);
    const float qx = d.x * k;
    const float qz = d.z * k;
    // Wave slopes fade with distance so the far sea neither aliases nor boils.
    const float distance = std::sqrt(qx * qx + qz * qz);
    const float slope = mixf(0.10f, 0.035f, smoothstep(2.0f, 40.0f, distance));
    // One pixel covers about pixelAngle * (1 + distance^2) of the water plane; wave
    // octaves finer than that would only add sparkling noise, so they are left out.
    const float footprint = pixelAngle * (1.0f + distance * distance) * 2.8f;
    const int octaves = std::clamp(1 + static_cast<int>(std::floor(std::log2(0.4f / footprint))), 1, 4);
    const float nx = fbm(qx * 0.9f, qz * 2.8f, octaves, 0.5f, waveSeed) * slope;
    const float nz = fbm(qx * 0.9f + 7.1f, qz * 2.8f + 3.3f, octaves, 0.5f, waveSeed + 1u) * slope;
    const Vec3 n = normalize({nx, 1.0f, nz});
    const float dn = dot(d, n);
    Vec3 r = {d.x - 2.0f * dn * n.x, d.y - 2.0f * dn * n.y, d.z - 2.0f * dn * n.z};
    r.y = std::fmax(r.y, 0.0005f);
    r = normalize(r);

    const float cosI = std::fmin(1.0f, std::fmax(0.0f, -dn));
    const float fresnel = 0.02f + 0.98f * std::pow(1.0f - cosI, 5.0f);
    const Color water = mix(rgb(0.05f, 0.07f, 0.12f), rgb(0.01f, 0.02f, 0.04f), smoothstep(0.0f, 0.6f, depth));
    Color reflection = aboveHorizon(r, pixelAngle, 4);
    const float glitter = std::pow(std::fmax(dot(r, sunDirection), 0.0f), 300.0f);
    reflection = reflection + rgb(1.0f, 0.8f, 0.5f) * glitter;
    Color c = mix(water, reflection, std::fmin(1.0f, 0.12f + fresnel));
    // A thin band of haze hides the seam where sea meets the sky.
    c = mix(atmosphere({d.x, 0.0f, d.z}), c, smoothstep(0.0f, 0.012f, depth));
    c.a = 1.0f;
    return c;
}

} // namespace

Color skyColor(Vec3 direction, float pixelAngle)
{
    const Vec3 d = normalize(direction);
    return d.y >= 0.0f ? aboveHorizon(d, pixelAngle, 6) : sea(d, pixelAngle);
}

} // namespace assetgen::images
