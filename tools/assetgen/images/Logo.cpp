// The title logo. Letters are geometric, with strokes a fifth of the cap height, and are
// placed with hand-set spacing (the diagonal pair V-A tucks together, T leaves room
// under its bar). The image is layered glow, outline and face, composited with
// straight alpha so the show can lay it over the picture with its blending.
#include "images/Logo.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace assetgen::images {

namespace {

constexpr float stroke = 0.2f;

float unite(float a, float b)
{
    return std::min(a, b);
}

float subtract(float a, float b)
{
    return std::max(a, -b);
}

float letterV(Vec2 p)
{
    static const std::vector<Vec2> outline = {
        {0.0f, 1.0f}, {0.22f, 1.0f}, {0.5f, 0.26f}, {0.78f, 1.0f}, {1.0f, 1.0f}, {0.61f, 0.0f}, {0.39f, 0.0f},
    };
    return sdPolygon(p, outline);
}

float letterA(Vec2 p)
{
    static const std::vector<Vec2> outline = {
        {0.0f, 0.0f}, {0.22f, 0.0f}, {0.5f, 0.74f}, {0.78f, 0.0f}, {1.0f, 0.0f}, {0.61f, 1.0f}, {0.39f, 1.0f},
    };
    const float bar = sdBox(p, {0.5f, 0.29f}, {0.25f, 0.085f});
    return unite(sdPolygon(p, outline), bar);
}

float letterN(Vec2 p)
{
    static const std::vector<Vec2> diagonal = {
        {0.0f, 1.0f}, {0.23f, 1.0f}, {0.9f, 0.0f}, {0.67f, 0.0f},
    };
    const float left = sdBox(p, {stroke * 0.5f, 0.5f}, {stroke * 0.5f, 0.5f});
    const float right = sdBox(p, {0.9f - stroke * 0.5f, 0.5f}, {stroke * 0.5f, 0.5f});
    return unite(unite(left, right), sdPolygon(p, diagonal));
}

float letterT(Vec2 p)
{
    const float bar = sdBox(p, {0.45f, 1.0f - stroke * 0.5f}, {0.45f, stroke * 0.5f});
    const float stem = sdBox(p, {0.45f, 0.5f}, {stroke * 0.5f, 0.5f});
    return unite(bar, stem);
}

float letterO(Vec2 p)
{
    const float outer = sdRoundBox(p, {0.5f, 0.5f}, {0.5f, 0.5f}, 0.34f);
    const float inner = sdRoundBox(p, {0.5f, 0.5f}, {0.5f - stroke, 0.5f - stroke}, 0.14f);
    return subtract(outer, inner);
}

float letterR(Vec2 p)
{
    // Bowl square on the stem side and round on the right, leg running from the bowl's
    // foot to the baseline.
    const float stem = sdBox(p, {stroke * 0.5f, 0.5f}, {stroke * 0.5f, 0.5f});
    const float bowlOuter = unite(sdRoundBox(p, {0.46f, 0.72f}, {0.46f, 0.28f}, 0.24f),
                                  sdBox(p, {0.23f, 0.72f}, {0.23f, 0.28f}));
    const float bowlInner = unite(sdRoundBox(p, {0.46f, 0.72f}, {0.26f, 0.09f}, 0.09f),
                                  sdBox(p, {0.33f, 0.72f}, {0.13f, 0.09f}));
    static const std::vector<Vec2> leg = {
        {0.40f, 0.46f}, {0.64f, 0.46f}, {0.95f, 0.0f}, {0.71f, 0.0f},
    };
    return unite(unite(stem, subtract(bowlOuter, bowlInner)), sdPolygon(p, leg));
}

struct Glyph {
    float (*distance)(Vec2);
    float width;
    float gapAfter; // space to the next letter's left edge
};

constexpr Glyph word[] = {
    {letterV, 1.0f, 0.06f},
    {letterA, 1.0f, 0.22f},
    {letterN, 0.9f, 0.18f},
    {letterT, 0.9f, 0.14f},
    {letterO, 1.0f, 0.22f},
    {letterR, 0.95f, 0.0f},
};

} // namespace

float logoWordWidth()
{
    float width = 0.0f;
    for (const Glyph& g : word)
        width += g.width + g.gapAfter;
    return width;
}

float logoDistance(Vec2 p)
{
    float d = 1e9f;
    float left = 0.0f;
    for (const Glyph& g : word) {
        // Skip letters that cannot be nearer than what is already found.
        const float boxDistance = sdBox(p, {left + g.width * 0.5f, 0.5f}, {g.width * 0.5f, 0.5f});
        if (boxDistance < d)
            d = std::min(d, g.distance({p.x - left, p.y}));
        left += g.width + g.gapAfter;
    }
    return d;
}

LogoLayout logoLayout(int width, int height)
{
    const float w = static_cast<float>(std::max(width, 1));
    const float h = static_cast<float>(std::max(height, 1));
    LogoLayout layout;
    // The cap height is under half the image height and the word under 80 % of its
    // width, which leaves room all round for the glow.
    layout.scale = std::min(h * 0.47f, w * 0.8f / logoWordWidth());
    layout.originX = (w - logoWordWidth() * layout.scale) * 0.5f;
    layout.originY = (h + layout.scale) * 0.5f;
    return layout;
}

Vec2 logoUnitsAt(const LogoLayout& layout, int x, int y)
{
    return {(static_cast<float>(x) + 0.5f - layout.originX) / layout.scale,
            (layout.originY - static_cast<float>(y) - 0.5f) / layout.scale};
}

Raster makeLogo(int width, int height)
{
    const LogoLayout layout = logoLayout(width, height);
    const float pixel = 1.0f / layout.scale;
    const float outlineWidth = 0.015f;
    const float glowWidth = 0.07f;

    Raster logo(width, height, {0.0f, 0.0f, 0.0f, 0.0f});
    logo.shade([&](int x, int y) {
        const Vec2 p = logoUnitsAt(layout, x, y);
        const float d = logoDistance(p);
        Color out{0.0f, 0.0f, 0.0f, 0.0f};
        if (d > logoGlowReach)
            return out;

        // Warm glow, faded to exactly nothing at the reach.
        const float outside = std::max(d - outlineWidth, 0.0f);
        const float fadeOut = 1.0f - smoothstep(logoGlowReach * 0.5f, logoGlowReach, d);
        const float glow = 0.55f * std::exp(-outside / glowWidth) * fadeOut;
        out = {1.0f, 0.62f, 0.32f, glow};

        // Dark outline so the letters hold against bright parts of the picture.
        const float outline = coverage(d - outlineWidth, pixel);
        if (outline > 0.0f)
            out = over(withAlpha(rgb(0.03f, 0.03f, 0.07f), outline), out);

        // Chrome face: a bright sky above a sharp horizon at 45 %, a darker reflected
        // ground below it that brightens towards the baseline, and a lit bevel.
        const float face = coverage(d, pixel);
        if (face > 0.0f) {
            const float t = std::clamp(p.y, 0.0f, 1.0f);
            const float horizon = smoothstep(0.44f, 0.46f, t);
            const Color lower = mix(rgb(0.92f, 0.86f, 0.80f), rgb(0.45f, 0.50f, 0.62f), smoothstep(0.0f, 0.44f, t));
            const Color upper = mix(rgb(0.80f, 0.86f, 0.96f), rgb(1.0f, 1.0f, 1.0f), smoothstep(0.46f, 1.0f, t));
            Color metal = mix(lower, upper, horizon);
            const float bevel = 1.0f - smoothstep(0.0f, 0.035f, -d);
            metal = mix(metal, rgb(1.0f, 0.97f, 0.90f), 0.55f * bevel);
            out = over(withAlpha(metal, face), out);
        }
        return out;
    });
    return logo;
}

} // namespace assetgen::images
