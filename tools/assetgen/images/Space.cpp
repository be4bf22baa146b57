// The star field. The nebula is domain-warped fractal noise coloured by two gas
// palettes and cut by darker dust lanes; stars are splatted afterwards as small
// Gaussians whose footprints wrap around the edges, so the tile stays seamless.
#include "images/Space.h"

#include "images/Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen::images {

namespace {

constexpr std::uint32_t nebulaSeed = 5101u;
constexpr std::uint32_t starSeed = 5102u;

// Adds a star's light (a Gaussian core, and for bright stars four thin spikes) around
// (cx, cy) in pixels, wrapping around the tile edges.
void splatStar(Raster& sky, float cx, float cy, float radius, float brightness, Color tint, bool spikes)
{
    const int size = sky.width();
    const int reach = static_cast<int>(std::ceil(spikes ? radius * 12.0f : radius * 3.5f));
    const int x0 = static_cast<int>(std::floor(cx));
    const int y0 = static_cast<int>(std::floor(cy));
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const float px = static_cast<float>(x0 + dx) + 0.5f - cx;
            const float py = static_cast<float>(y0 + dy) + 0.5f - cy;
            const float r2 = px * px + py * py;
            float light = std::exp(-r2 / (radius * radius));
            if (spikes) {
                const float reachF = static_cast<float>(reach);
                const float fade = std::max(0.0f, 1.0f - std::sqrt(r2) / reachF);
                const float spike = std::exp(-std::min(px * px, py * py) / (0.35f * radius * radius)) * fade * fade;
                light = std::max(light, 0.6f * spike);
            }
            if (light < 1e-3f)
                continue;
            const int x = ((x0 + dx) % size + size) % size;
            const int y = ((y0 + dy) % size + size) % size;
            sky.at(x, y) = sky.at(x, y) + tint * (brightness * light);
        }
    }
}

} // namespace

Raster makeSpace(int size)
{
    Raster sky(size, size);
    const float n = static_cast<float>(sky.width());
    const Period p3{3, 3};
    const Period p6{6, 6};
    sky.shade([&](int x, int y) {
        const float u = (static_cast<float>(x) + 0.5f) / n;
        const float v = (static_cast<float>(y) + 0.5f) / n;
        // Warp once, then read the gas density and a second field for its colour.
        const float wx = fbm(u * 3.0f, v * 3.0f, 3, 0.5f, nebulaSeed, p3);
        const float wy = fbm(u * 3.0f + 0.4f, v * 3.0f + 0.9f, 3, 0.5f, nebulaSeed + 1u, p3);
        const float gu = u + 0.15f * wx;
        const float gv = v + 0.15f * wy;
        const float gas = fbm(gu * 3.0f, gv * 3.0f, 6, 0.55f, nebulaSeed + 2u, p3);
        const float hue = fbm(gu * 3.0f + 0.2f, gv * 3.0f, 2, 0.5f, nebulaSeed + 3u, p3);
        const float dust = ridged(gu * 6.0f, gv * 6.0f, 3, 0.5f, nebulaSeed + 4u, p6);

        const float density = smoothstep(-0.3f, 0.45f, gas);
        const Color warm = rgb(0.75f, 0.22f, 0.45f);
        const Color cool = rgb(0.12f, 0.45f, 0.70f);
        Color c = rgb(0.010f, 0.012f, 0.030f);
        c = c + mix(warm, cool, smoothstep(-0.3f, 0.3f, hue)) * (0.8f * density * density);
        // Hot cores where the gas is densest.
        c = c + rgb(1.0f, 0.85f, 0.75f) * (0.4f * smoothstep(0.3f, 0.7f, gas));
        // Dust lanes absorb light in thin dark filaments.
        c = c * (1.0f - 0.75f * smoothstep(0.75f, 0.95f, dust) * density);
        return c;
    });

    // Stars: many faint, fewer bright, a handful with spikes; tint by temperature.
    const int faint = sky.width() * sky.width() / 350;
    const int bright = sky.width() / 6;
    const int brilliant = 8;
    const int total = faint + bright + brilliant;
    for (int i = 0; i < total; ++i) {
        const std::uint32_t h = hash2(i, 0, starSeed);
        const float cx = unitFloat(h) * n;
        const float cy = unitFloat(hash32(h ^ 0x68e31da4u)) * n;
        const float temperature = unitFloat(hash32(h ^ 0xb5297a4du));
        const Color tint = temperature < 0.3f ? rgb(1.0f, 0.78f, 0.55f)
            : (temperature < 0.8f ? rgb(1.0f, 0.96f, 0.92f) : rgb(0.70f, 0.82f, 1.0f));
        const float pick = unitFloat(hash32(h ^ 0x1b56c4e9u));
        if (i < faint)
            splatStar(sky, cx, cy, 0.55f, 0.15f + 0.45f * pick * pick, tint, false);
        else if (i < faint + bright)
            splatStar(sky, cx, cy, 0.9f + 0.6f * pick, 0.7f + 0.5f * pick, tint, false);
        else
            splatStar(sky, cx, cy, 1.6f + 0.8f * pick, 1.6f, tint, true);
    }
    return sky;
}

} // namespace assetgen::images
