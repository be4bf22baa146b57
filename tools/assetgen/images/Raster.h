// A small floating-point RGBA canvas for the image generators, with the colour maths
// they share and the conversion to 8-bit PNG files that the show's texture loader reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen::images {

// Colour in display (sRGB-like) values; 0..1 is the visible range and alpha is straight
// (not premultiplied), as the show's blending uses GL_SRC_ALPHA.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

// The colour helpers are inline: the generators call them for every pixel.
inline float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

inline float mixf(float x, float y, float t)
{
    return x + (y - x) * t;
}

// Hermite step from 0 at edge0 to 1 at edge1; a hard step when the edges coincide.
inline float smoothstep(float edge0, float edge1, float v)
{
    if (edge0 == edge1)
        return v < edge0 ? 0.0f : 1.0f;
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

inline Color operator+(Color x, Color y)
{
    return {x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a};
}

inline Color operator*(Color x, float s)
{
    return {x.r * s, x.g * s, x.b * s, x.a * s};
}

inline Color operator*(Color x, Color y)
{
    return {x.r * y.r, x.g * y.g, x.b * y.b, x.a * y.a};
}

// Mixes colour and alpha: t = 0 gives x, t = 1 gives y.
inline Color mix(Color x, Color y, float t)
{
    return {mixf(x.r, y.r, t), mixf(x.g, y.g, t), mixf(x.b, y.b, t), mixf(x.a, y.a, t)};
}

inline Color rgb(float r, float g, float b)
{
    return {r, g, b, 1.0f};
}

inline Color withAlpha(Color c, float a)
{
    c.a = a;
    return c;
}

// Straight-alpha "over": top composited onto bottom.
inline Color over(Color top, Color bottom)
{
    const float a = clamp01(top.a);
    const float keep = clamp01(bottom.a) * (1.0f - a);
    const float outA = a + keep;
    if (outA <= 0.0f)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    return {(top.r * a + bottom.r * keep) / outA, (top.g * a + bottom.g * keep) / outA,
            (top.b * a + bottom.b * keep) / outA, outA};
}

inline float luminance(Color c)
{
    return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
}

class Raster {
public:
    Raster(int width, int height, Color fill = {});

    int width() const { return w; }
    int height() const { return h; }

    // Coordinates outside the canvas are clamped to its border, so a stray index reads
    // or writes an edge pixel instead of memory beyond the image.
    Color& at(int x, int y);
    const Color& at(int x, int y) const;

    // Fills every pixel from shader(x, y); pixel centres are at (x + 0.5, y + 0.5).
    template <class Shader>
    void shade(Shader&& shader)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[static_cast<std::size_t>(y) * w + x] = shader(x, y);
    }

    // Composites c over the pixel with c.a as coverage; ignored outside the canvas.
    void blendOver(int x, int y, Color c);

    // Bilinear sample at texture coordinates (u, v) in [0, 1], repeating at the borders.
    Color sample(float u, float v) const;

    // True when no channel of any pixel is NaN or infinite.
    bool allFinite() const;

    // 8-bit interleaved pixels, top row first, channels 3 (RGB) or 4 (RGBA). Values are
    // clamped to [0, 1]; NaN becomes 0. With dither, a fixed 4x4 ordered pattern below
    // one step breaks up banding in smooth gradients without any randomness.
    std::vector<std::uint8_t> toBytes(int channels, bool dither) const;

private:
    int w;
    int h;
    std::vector<Color> pixels;
};

// Writes the raster as a PNG with 3 or 4 channels; prints the reason on standard error
// and returns false when the file cannot be written or the channel count is not 3 or 4.
bool writePng(const Raster& raster, const std::string& path, int channels, bool dither = false);

} // namespace assetgen::images
