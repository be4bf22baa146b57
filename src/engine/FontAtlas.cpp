#include "engine/FontAtlas.h"

#include <stb_truetype.h>

#include "engine/ImageFiles.h"

namespace Tarvo {

namespace {
// Wide enough for every printable glyph at overlay and label sizes in a few rows.
constexpr int atlasSide = 512;
constexpr float largestSize = 64.0f;
} // namespace

std::string FontAtlas::defaultFontPath()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
}

bool FontAtlas::load(const std::string& fontPath, float pixelHeight)
{
    pixels.clear();
    glyphs.clear();
    atlasWidth = atlasHeight = 0;
    std::vector<std::uint8_t> font;
    if (!readFileBytes(fontPath.c_str(), font) || font.empty()) {
        problem = "cannot read the font " + fontPath;
        return false;
    }
    if (!(pixelHeight >= 4.0f && pixelHeight <= largestSize)) {
        problem = "font size " + std::to_string(pixelHeight) + " is outside 4 to 64 pixels";
        return false;
    }
    // The rasteriser trusts the tables it is given, so the file must at least be a font
    // it recognises before it goes further.
    if (stbtt_GetFontOffsetForIndex(font.data(), 0) < 0) {
        problem = fontPath + " is not a TrueType font";
        return false;
    }
    std::vector<stbtt_bakedchar> baked(charCount);
    pixels.assign(static_cast<std::size_t>(atlasSide) * atlasSide, 0);
    const int rows = stbtt_BakeFontBitmap(font.data(), 0, pixelHeight, pixels.data(), atlasSide, atlasSide,
        firstChar, charCount, baked.data());
    if (rows == 0) {
        pixels.clear();
        problem = fontPath + " has no glyphs the rasteriser can draw";
        return false;
    }
    // A negative count means not every glyph fitted; those that did are still usable.
    atlasWidth = atlasSide;
    atlasHeight = atlasSide;
    size = pixelHeight;
    for (const stbtt_bakedchar& c : baked)
        glyphs.push_back({ c.x0, c.y0, c.x1, c.y1, c.xoff, c.yoff, c.xadvance });
    problem.clear();
    return true;
}

std::vector<GlyphQuad> FontAtlas::layout(std::string_view text, float x, float y) const
{
    std::vector<GlyphQuad> quads;
    if (glyphs.empty())
        return quads;
    quads.reserve(text.size());
    for (const char c : text) {
        const int code = static_cast<unsigned char>(c);
        const int index = code >= firstChar && code < firstChar + charCount ? code - firstChar : '?' - firstChar;
        const Glyph& g = glyphs[static_cast<std::size_t>(index)];
        const float left = x + g.xoff;
        const float top = y + g.yoff;
        quads.push_back({ left, top, left + float(g.x1 - g.x0), top + float(g.y1 - g.y0),
            float(g.x0) / float(atlasWidth), float(g.y0) / float(atlasHeight), float(g.x1) / float(atlasWidth),
            float(g.y1) / float(atlasHeight) });
        x += g.xadvance;
    }
    return quads;
}

float FontAtlas::textWidth(std::string_view text) const
{
    float width = 0.0f;
    for (const char c : text) {
        const int code = static_cast<unsigned char>(c);
        const int index = code >= firstChar && code < firstChar + charCount ? code - firstChar : '?' - firstChar;
        if (!glyphs.empty())
            width += glyphs[static_cast<std::size_t>(index)].xadvance;
    }
    return width;
}

} // namespace Tarvo
