// Zebra stripes and the framed painting. The stripes are the level set of a warped
// phase field whose stripe count is an integer per tile, so they continue across the
// edges; the painting is a scene function sampled through brush-stroke distortions.
#include "images/Patterns.h"

#include "images/Noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen::images {

namespace {

constexpr std::uint32_t zebraSeed = 4101u;
constexpr std::uint32_t tavloSeed = 4201u;

float centre(int i, int size)
{
    return (static_cast<float>(i) + 0.5f) / static_cast<float>(size);
}

// The painted landscape at painting coordinates (s, t), t down; before brushwork.
Color landscape(float s, float t)
{
    // Sky: deep blue at the top to a glowing band above the hills.
    Color c = mix(rgb(0.95f, 0.62f, 0.30f), rgb(0.62f, 0.40f, 0.48f), smoothstep(0.25f, 0.55f, 0.55f - t + 0.25f));
    c = mix(c, rgb(0.14f, 0.18f, 0.40f), smoothstep(0.30f, 0.0f, t));
    // Sun, low over the hills, with a soft halo.
    const float ds = std::sqrt((s - 0.66f) * (s - 0.66f) + (t - 0.44f) * (t - 0.44f));
    c = c + rgb(0.5f, 0.35f, 0.12f) * std::exp(-ds / 0.08f);
    c = mix(c, rgb(1.0f, 0.90f, 0.55f), 1.0f - smoothstep(0.045f, 0.055f, ds));
    // Far hills, violet.
    const float far = 0.52f - 0.05f * std::sin(s * 7.0f + 1.0f) - 0.03f * std::sin(s * 17.0f);
    c = mix(c, rgb(0.40f, 0.28f, 0.42f), smoothstep(far - 0.004f, far + 0.004f, t));
    // Near hills, dark olive.
    auto nearHillAt = [](float x) { return 0.62f - 0.07f * std::sin(x * 4.0f + 2.5f) - 0.02f * std::sin(x * 13.0f + 0.4f); };
    const float nearHill = nearHillAt(s);
    c = mix(c, rgb(0.20f, 0.22f, 0.12f), smoothstep(nearHill - 0.004f, nearHill + 0.004f, t));
    // A field of ochre and rust towards the viewer.
    const float field = 0.74f + 0.02f * std::sin(s * 9.0f);
    const Color ground = mix(rgb(0.62f, 0.45f, 0.18f), rgb(0.45f, 0.22f, 0.10f), smoothstep(field, 1.0f, t));
    c = mix(c, ground, smoothstep(field - 0.005f, field + 0.005f, t));
    // A lone tree standing on the near hill.
    constexpr float treeS = 0.24f;
    const float base = nearHillAt(treeS) + 0.01f;
    const float crownT = base - 0.16f;
    const float trunk = (1.0f - smoothstep(0.005f, 0.008f, std::fabs(s - treeS))) * (t > crownT && t < base ? 1.0f : 0.0f);
    const float crownDistance = std::sqrt((s - treeS) * (s - treeS) + (t - crownT) * (t - crownT) * 1.8f);
    const float crown = 1.0f - smoothstep(0.05f, 0.056f, crownDistance);
    c = mix(c, rgb(0.10f, 0.11f, 0.07f), std::max(trunk, crown));
    return c;
}

} // namespace

Raster makeZebra(int size)
{
    Raster zebra(size, size);
    constexpr int stripes = 9;
    const Period p3{3, 3};
    // Half the edge ramp: the wave changes by 4 per stripe period, about one pixel wide.
    const float edge = 4.0f * stripes / static_cast<float>(zebra.width()) * 0.8f;
    zebra.shade([&](int x, int y) {
        const float u = centre(x, zebra.width());
        const float v = centre(y, zebra.height());
        // Phase: an integer number of stripes across the tile, bent by a gentle
        // whole-tile wave and by tileable noise.
        const float bend = 0.6f * std::sin(2.0f * std::numbers::pi_v<float> * v)
                           + 0.3f * std::sin(4.0f * std::numbers::pi_v<float> * (v + u));
        const float phase = stripes * u + bend + 1.4f * fbm(u * 3.0f, v * 3.0f, 4, 0.5f, zebraSeed, p3);
        // Triangle wave rather than a sine: its constant slope keeps every stripe edge,
        // including where stripes end or fork, equally sharp.
        const float wave = 1.0f - 4.0f * std::fabs(phase - std::floor(phase) - 0.5f);
        // A varying threshold makes stripes thicken, thin out and fork.
        const float threshold = 0.6f * fbm(u * 3.0f + 0.3f, v * 3.0f + 0.7f, 3, 0.5f, zebraSeed + 1u, p3);
        const float black = smoothstep(threshold - edge, threshold + edge, wave);
        // Fur: a faint grain in both colours.
        const float fur = perlin(u * 64.0f, v * 256.0f, zebraSeed + 2u, {64, 256});
        const Color light = rgb(0.93f, 0.91f, 0.86f) * (0.96f + 0.04f * fur);
        const Color dark = rgb(0.05f, 0.045f, 0.04f) * (1.0f + 0.3f * fur);
        return mix(light, dark, black);
    });
    return zebra;
}

Raster makeTavlo(int size)
{
    Raster tavlo(size, size);
    constexpr float frame = 0.07f;
    tavlo.shade([&](int x, int y) {
        const float u = centre(x, tavlo.width());
        const float v = centre(y, tavlo.height());
        const float pixel = 1.0f / static_cast<float>(tavlo.width());
        const float border = std::min(std::min(u, 1.0f - u), std::min(v, 1.0f - v));

        // Painting coordinates inside the frame.
        const float s = (u - frame) / (1.0f - 2.0f * frame);
        const float t = (v - frame) / (1.0f - 2.0f * frame);
        // Brushwork: strokes lie horizontally in the sky and slant over the land; the
        // scene is sampled a little off along each stroke, smearing its edges.
        const float land = smoothstep(0.45f, 0.6f, t);
        const float angle = land * 0.5f * std::sin(s * 5.0f);
        const float ca = std::cos(angle);
        const float sa = std::sin(angle);
        const float along = s * ca + t * sa;
        const float across = -s * sa + t * ca;
        const float stroke = fbm(along * 10.0f, across * 110.0f, 2, 0.5f, tavloSeed);
        const float jitter = perlin(along * 14.0f, across * 40.0f, tavloSeed + 1u);
        Color c = landscape(s + 0.008f * jitter * ca, t + 0.008f * jitter * sa);
        c = c * (0.92f + 0.14f * stroke);
        // Canvas weave shows through the thin paint.
        const float weave = std::sin(2.0f * std::numbers::pi_v<float> * s * 180.0f)
                            * std::sin(2.0f * std::numbers::pi_v<float> * t * 180.0f);
        c = c * (0.97f + 0.03f * weave);

        // The frame: dark wood with grain running along each side, a gilded inner lip.
        const float grainAlongU = std::min(v, 1.0f - v) < std::min(u, 1.0f - u) ? u : v;
        const float across2 = std::min(v, 1.0f - v) < std::min(u, 1.0f - u) ? v : u;
        const float grain = fbm(grainAlongU * 4.0f, across2 * 120.0f, 3, 0.5f, tavloSeed + 2u);
        Color wood = mix(rgb(0.16f, 0.09f, 0.05f), rgb(0.34f, 0.20f, 0.10f), 0.5f + 0.5f * grain);
        wood = wood * (0.8f + 0.4f * smoothstep(0.0f, frame, border));
        const float lip = 1.0f - smoothstep(pixel, pixel * 3.0f, std::fabs(border - frame + pixel * 3.0f));
        wood = mix(wood, rgb(0.85f, 0.66f, 0.30f), lip);
        const float inFrame = 1.0f - smoothstep(frame - pixel, frame, border);
        return mix(c, wood, inFrame);
    });
    return tavlo;
}

} // namespace assetgen::images
