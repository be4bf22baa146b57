// Material textures. Each is a function of texture coordinates in [0, 1), built only
// from noise whose lattice period divides the texture, so the right edge continues the
// left one and the bottom the top.
#include "images/Surfaces.h"

#include "images/Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen::images {

namespace {

constexpr std::uint32_t crackSeed = 3101u;
constexpr std::uint32_t brassSeed = 3201u;
constexpr std::uint32_t nokkaSeed = 3301u;

float centre(int i, int size)
{
    return (static_cast<float>(i) + 0.5f) / static_cast<float>(size);
}

// Distance (in texture units) to the borders of cellular noise cells, in a domain
// warped so that the borders wander like real cracks.
float crackDistance(float u, float v, float wx, float wy, int cells, std::uint32_t seed)
{
    const float scale = static_cast<float>(cells);
    return cellBorder((u + wx) * scale, (v + wy) * scale, seed, {cells, cells}) / scale;
}

// 1 on a line of the given width, 0 away from it.
float line(float distance, float width)
{
    return 1.0f - smoothstep(width * 0.5f, width, distance);
}

} // namespace

Raster makeCrack(int size)
{
    Raster crack(size, size);
    const Period p4{4, 4};
    const Period p16{16, 16};
    crack.shade([&](int x, int y) {
        const float u = centre(x, crack.width());
        const float v = centre(y, crack.height());

        // Paint: a warm light grey, mottled at two scales.
        const float mottle = fbm(u * 4.0f, v * 4.0f, 5, 0.55f, crackSeed, p4);
        const float fine = fbm(u * 16.0f, v * 16.0f, 3, 0.5f, crackSeed + 3u, p16);
        Color c = mix(rgb(0.56f, 0.54f, 0.50f), rgb(0.74f, 0.72f, 0.67f), smoothstep(-0.4f, 0.4f, mottle));
        c = c * (0.94f + 0.08f * fine);

        // Grime collects in broad stains.
        const float grime = smoothstep(0.0f, 0.5f, fbm(u * 4.0f + 3.1f, v * 4.0f + 1.7f, 4, 0.6f, crackSeed + 4u, p4));
        const float grain = fbm(u * 64.0f, v * 64.0f, 2, 0.5f, crackSeed + 7u, {64, 64});
        c = mix(c, rgb(0.24f, 0.21f, 0.17f), 0.55f * grime * (0.65f + 0.35f * smoothstep(-0.5f, 0.5f, grain)));

        // Main cracks, broken up so the network is not closed everywhere, and a finer
        // craquelure between them; both follow one shared warp.
        const float wx = 0.05f * fbm(u * 4.0f, v * 4.0f, 3, 0.5f, crackSeed + 1u, p4);
        const float wy = 0.05f * fbm(u * 4.0f + 0.5f, v * 4.0f + 0.5f, 3, 0.5f, crackSeed + 2u, p4);
        const float gateNoise = fbm(u * 4.0f + 7.7f, v * 4.0f, 3, 0.5f, crackSeed + 5u, p4);
        const float gate = smoothstep(-0.15f, 0.15f, gateNoise);
        const float majorWidth = 0.0025f + 0.0035f * smoothstep(-0.3f, 0.4f, gateNoise);
        const float majorDistance = crackDistance(u, v, wx, wy, 5, crackSeed + 10u);
        const float strength = 0.35f + 0.65f * gate;
        const float major = line(majorDistance, majorWidth) * strength;
        const float minor = line(crackDistance(u, v, wx * 1.5f, wy * 1.5f, 14, crackSeed + 20u), 0.0012f) * gate * 0.6f;
        const float lines = std::max(major, minor);

        // Rust bleeds downwards (towards larger v) from the cracks.
        const float streak = fbm(u * 48.0f, v * 3.0f, 3, 0.5f, crackSeed + 6u, {48, 3});
        const float rust = smoothstep(0.05f, 0.45f, streak) * grime;
        c = mix(c, rgb(0.45f, 0.22f, 0.10f), 0.6f * rust);
        // Paint lifts a little along the big cracks and catches the light.
        const float lip = line(majorDistance, majorWidth * 2.2f) * strength;
        c = c + rgb(0.10f, 0.10f, 0.09f) * std::max(lip - major, 0.0f);
        c = mix(c, rgb(0.06f, 0.05f, 0.045f), 0.9f * lines);
        return c;
    });
    return crack;
}

Raster makeBrass(int size)
{
    Raster brass(size, size);
    brass.shade([&](int x, int y) {
        const float u = centre(x, brass.width());
        const float v = centre(y, brass.height());
        // Brushing: very fine lines, long along x and short across it, over a nearly
        // even tone; a soft sheen across the plate keeps it from looking flat.
        const float brush = fbm(u * 6.0f, v * 384.0f, 2, 0.5f, brassSeed + 1u, {6, 384});
        const float hair = perlin(u * 24.0f, v * 1024.0f, brassSeed + 2u, {24, 1024});
        const float sheen = fbm(u * 1.0f, v * 1.0f, 3, 0.5f, brassSeed, {1, 1});
        const float tone = clamp01(0.6f + 0.35f * sheen + 0.18f * brush + 0.1f * hair);
        Color c = mix(rgb(0.40f, 0.27f, 0.09f), rgb(1.00f, 0.86f, 0.55f), tone);
        // Tarnish: faint brownish dulling in patches drawn out along the grain.
        const float patches = fbm(u * 3.0f, v * 6.0f, 4, 0.55f, brassSeed + 3u, {3, 6});
        c = mix(c, rgb(0.45f, 0.33f, 0.16f), 0.3f * smoothstep(0.2f, 0.55f, patches));
        // Rare fine scratches, slightly off the grain.
        const float scratch = perlin(u * 4.0f + v * 0.7f, v * 160.0f - u * 2.0f, brassSeed + 4u, {4, 160});
        c = c + rgb(0.12f, 0.11f, 0.08f) * smoothstep(0.75f, 0.92f, scratch);
        return c;
    });
    return brass;
}

Raster makeNokka(int size)
{
    Raster nokka(size, size);
    // Sheets: two across and three down, so seams run in both directions.
    constexpr int columns = 2;
    constexpr int rows = 3;
    nokka.shade([&](int x, int y) {
        const float u = centre(x, nokka.width());
        const float v = centre(y, nokka.height());
        const float pixel = 1.0f / static_cast<float>(nokka.width());

        // Aluminium under the paint, brushed lightly.
        const float brush = fbm(u * 4.0f, v * 128.0f, 3, 0.5f, nokkaSeed, {4, 128});
        const Color metal = mix(rgb(0.58f, 0.60f, 0.63f), rgb(0.82f, 0.84f, 0.87f), 0.5f + 0.5f * brush);

        // Enamel, toned a little per sheet so the sheets read as separate pieces.
        const float gu = u * columns - std::floor(u * columns);
        const float gv = v * rows - std::floor(v * rows);
        const int sheet = static_cast<int>(u * columns) + columns * static_cast<int>(v * rows);
        const float sheetTone = unitFloat(hash2(sheet, 0, nokkaSeed + 1u));
        const float sheen = fbm(u * 2.0f, v * 2.0f, 4, 0.5f, nokkaSeed + 2u, {2, 2});
        const Color paint = mix(rgb(0.66f, 0.14f, 0.05f), rgb(0.88f, 0.32f, 0.08f), clamp01(0.3f * sheetTone + 0.4f + 0.35f * sheen));

        // Distance to the nearest seam, and whether that seam runs along v or u.
        const float du = std::min(gu, 1.0f - gu) / columns;
        const float dv = std::min(gv, 1.0f - gv) / rows;
        const float toSeam = std::min(du, dv);

        // Chips: paint is worn through where noise peaks, more so along the seams.
        const float wear = fbm(u * 8.0f, v * 8.0f, 5, 0.6f, nokkaSeed + 3u, {8, 8})
            + 0.22f * (1.0f - smoothstep(0.0f, 0.03f, toSeam));
        const float chipped = smoothstep(0.33f, 0.36f, wear);
        Color c = mix(paint, metal, chipped);
        // The paint darkens along the break where it has flaked off.
        const float rim = smoothstep(0.29f, 0.33f, wear) * (1.0f - chipped);
        c = c * (1.0f - 0.4f * rim);

        // Seams: a dark groove one or two pixels wide.
        c = c * (1.0f - 0.65f * (1.0f - smoothstep(pixel * 0.8f, pixel * 2.2f, toSeam)));

        // Rivets in a row beside each seam, spaced along the seam's own direction.
        constexpr float rivetPitch = 1.0f / 24.0f;
        constexpr float rivetOffset = 0.014f;
        constexpr float rivetRadius = 0.0045f;
        const bool vertical = du < dv;
        const float along = vertical ? v : u;
        const float alongOffset = std::fabs(along - (std::floor(along / rivetPitch) + 0.5f) * rivetPitch);
        const float acrossOffset = std::fabs((vertical ? du : dv) - rivetOffset);
        const float rivetDistance = std::sqrt(alongOffset * alongOffset + acrossOffset * acrossOffset);
        const float rivet = 1.0f - smoothstep(rivetRadius - pixel, rivetRadius, rivetDistance);
        // Domed heads: brightest in the middle, darker towards the rim.
        const float shade = 1.0f - 0.3f * smoothstep(0.0f, rivetRadius, rivetDistance);
        c = mix(c, rgb(0.80f, 0.78f, 0.74f) * shade, rivet);

        // Soot and dirt, thicker towards the lower edge of each sheet.
        const float dirt = smoothstep(0.1f, 0.6f, fbm(u * 6.0f + 2.0f, v * 6.0f, 5, 0.55f, nokkaSeed + 4u, {6, 6}));
        c = mix(c, rgb(0.10f, 0.08f, 0.07f), 0.45f * dirt * (0.3f + 0.7f * gv));
        return c;
    });
    return nokka;
}

} // namespace assetgen::images
