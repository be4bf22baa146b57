// The float canvas and its PNG output. Encoding goes through stb_image_write, whose
// implementation Debian's libstb already carries.
#include "images/Raster.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace assetgen::images {

Raster::Raster(int width, int height, Color fill)
    : w(std::max(width, 1))
    , h(std::max(height, 1))
    , pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill)
{
}

Color& Raster::at(int x, int y)
{
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return pixels[static_cast<std::size_t>(y) * w + x];
}

const Color& Raster::at(int x, int y) const
{
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return pixels[static_cast<std::size_t>(y) * w + x];
}

void Raster::blendOver(int x, int y, Color c)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    Color& d = pixels[static_cast<std::size_t>(y) * w + x];
    d = over(c, d);
}

Color Raster::sample(float u, float v) const
{
    if (!std::isfinite(u) || !std::isfinite(v))
        return at(0, 0);
    const float fx = (u - std::floor(u)) * static_cast<float>(w) - 0.5f;
    const float fy = (v - std::floor(v)) * static_cast<float>(h) - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - static_cast<float>(x0);
    const float ty = fy - static_cast<float>(y0);
    auto texel = [&](int x, int y) {
        x = ((x % w) + w) % w;
        y = ((y % h) + h) % h;
        return pixels[static_cast<std::size_t>(y) * w + x];
    };
    return mix(mix(texel(x0, y0), texel(x0 + 1, y0), tx), mix(texel(x0, y0 + 1), texel(x0 + 1, y0 + 1), tx), ty);
}

bool Raster::allFinite() const
{
    return std::all_of(pixels.begin(), pixels.end(), [](const Color& c) {
        return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
    });
}

std::vector<std::uint8_t> Raster::toBytes(int channels, bool dither) const
{
    // Offsets of a 4x4 Bayer matrix, centred on zero, in units of one 8-bit step.
    static constexpr float bayer[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    channels = std::clamp(channels, 3, 4);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * h * channels);
    std::size_t o = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Color& c = pixels[static_cast<std::size_t>(y) * w + x];
            const float offset = dither ? (bayer[(y & 3) * 4 + (x & 3)] + 0.5f) / 16.0f : 0.5f;
            const float values[4] = {c.r, c.g, c.b, c.a};
            for (int k = 0; k < channels; ++k) {
                const float v = std::isfinite(values[k]) ? clamp01(values[k]) : 0.0f;
                // Alpha is never dithered: fully transparent and opaque must stay exact.
                const float q = std::floor(v * 255.0f + (k == 3 ? 0.5f : offset));
                bytes[o++] = static_cast<std::uint8_t>(std::clamp(q, 0.0f, 255.0f));
            }
        }
    }
    return bytes;
}

bool writePng(const Raster& raster, const std::string& path, int channels, bool dither)
{
    if (channels != 3 && channels != 4) {
        std::fprintf(stderr, "assetgen: %s: %d channels asked; the texture loader takes 3 or 4\n",
                     path.c_str(), channels);
        return false;
    }
    const std::vector<std::uint8_t> bytes = raster.toBytes(channels, dither);
    const int ok = stbi_write_png(path.c_str(), raster.width(), raster.height(), channels, bytes.data(),
                                  raster.width() * channels);
    if (!ok) {
        std::fprintf(stderr, "assetgen: could not write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace assetgen::images
