// Text for tools and overlays: the printable ASCII glyphs of a TrueType font rasterised
// once into one coverage bitmap, and the quads that lay a line of text out over it. No GL
// here, so a program that draws text into an image (a plot) uses it as well as one that
// uploads the bitmap as a texture (an overlay).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Tarvo {

// One glyph placed on the page: screen rectangle (y grows downwards) and its part of the
// atlas in texture coordinates.
struct GlyphQuad {
    float x0, y0, x1, y1;
    float s0, t0, s1, t1;
};

class FontAtlas {
public:
    // The monospaced font Debian's fonts-dejavu-core installs.
    static std::string defaultFontPath();

    // Rasterises the font at a pixel height. False (with the reason in error()) when the
    // file cannot be read or is not a font the rasteriser understands.
    bool load(const std::string& fontPath, float pixelHeight);

    int width() const { return atlasWidth; }
    int height() const { return atlasHeight; }
    // Coverage, 0 to 255, a byte a pixel, rows top first.
    const std::vector<std::uint8_t>& coverage() const { return pixels; }
    float lineHeight() const { return size * 1.2f; }
    float ascent() const { return size * 0.8f; }
    const std::string& error() const { return problem; }

    // The quads of one line whose baseline starts at (x, y); characters outside printable
    // ASCII are drawn as '?'.
    std::vector<GlyphQuad> layout(std::string_view text, float x, float y) const;
    float textWidth(std::string_view text) const;

private:
    struct Glyph {
        std::uint16_t x0, y0, x1, y1;
        float xoff, yoff, xadvance;
    };
    static constexpr int firstChar = 32;
    static constexpr int charCount = 95;

    std::vector<std::uint8_t> pixels;
    std::vector<Glyph> glyphs;
    int atlasWidth = 0;
    int atlasHeight = 0;
    float size = 0.0f;
    std::string problem;
};

} // namespace Tarvo
