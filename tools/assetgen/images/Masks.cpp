// Vignette and particle sprite. Both are smooth fields evaluated per pixel centre; the
// vignette is measured in a space stretched to the picture's aspect so that it darkens
// the short and long edges alike.
#include "images/Masks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen::images {

namespace {
}

Raster makeVignette(int width, int height)
{
    Raster vignette(width, height);
    const float w = static_cast<float>(vignette.width());
    const float h = static_cast<float>(vignette.height());
    vignette.shade([&](int x, int y) {
        // -1..1 across the picture; the vertical axis is weighted a little less, so the
        // falloff follows the wide frame instead of forming a circle.
        const float nx = (static_cast<float>(x) + 0.5f) / w * 2.0f - 1.0f;
        const float ny = ((static_cast<float>(y) + 0.5f) / h * 2.0f - 1.0f) * 0.8f;
        const float r = std::sqrt(nx * nx + ny * ny);
        const float falloff = std::pow(smoothstep(0.3f, 1.45f, r), 1.3f);
        const float v = 1.0f - 0.78f * falloff;
        return rgb(v, v, v);
    });
    return vignette;
}

Raster makeParticle(int size)
{
    Raster particle(size, size, {1.0f, 1.0f, 1.0f, 0.0f});
    const float s = static_cast<float>(particle.width());
    particle.shade([&](int x, int y) {
        // Radius 1 reaches the inner edge of the border pixels (kept positive for
        // sprites only a pixel or two wide).
        const float half = s * 0.5f;
        const float radius = std::max(half - 1.0f, 0.5f);
        const float px = (static_cast<float>(x) + 0.5f - half) / radius;
        const float py = (static_cast<float>(y) + 0.5f - half) / radius;
        const float r = std::sqrt(px * px + py * py);
        const float core = std::exp(-(r * r) / (0.22f * 0.22f));
        const float halo = std::exp(-(r * r) / (0.5f * 0.5f)) * 0.35f;

        // Six arms: distance from the nearest arm axis, measured across the arm.
        const float angle = std::atan2(py, px);
        const float sector = std::numbers::pi_v<float> / 3.0f;
        const float local = angle - sector * std::round(angle / sector);
        const float across = std::fabs(std::sin(local)) * r;
        const float along = std::cos(local) * r;
        const float arm = std::exp(-(across * across) / (0.045f * 0.045f)) * (1.0f - smoothstep(0.35f, 0.85f, along));
        // A pair of short side branches on each arm.
        const float bx = along - 0.45f;
        const float branch = std::exp(-std::pow(std::fabs(std::fabs(bx) * 0.8f - across * 0.5f) / 0.05f, 2.0f))
            * (1.0f - smoothstep(0.0f, 0.16f, std::fabs(bx))) * (across < 0.16f ? 1.0f : 0.0f);

        float a = std::max({core, halo, 0.6f * arm, 0.45f * branch});
        a *= 1.0f - smoothstep(0.8f, 1.0f, r);
        return Color{0.96f, 0.98f, 1.0f, clamp01(a)};
    });
    return particle;
}

} // namespace assetgen::images
