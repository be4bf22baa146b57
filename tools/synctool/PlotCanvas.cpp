#include "PlotCanvas.h"

#include "engine/FontAtlas.h"

#include <algorithm>
#include <cmath>

namespace synctool {

PlotCanvas::PlotCanvas(int width, int height, Rgb background)
    : w(std::max(width, 1))
    , h(std::max(height, 1))
    , rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3)
{
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = background.r;
        rgb[i + 1] = background.g;
        rgb[i + 2] = background.b;
    }
}

Rgb PlotCanvas::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return { 0, 0, 0 };
    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
    return { rgb[i], rgb[i + 1], rgb[i + 2] };
}

void PlotCanvas::blend(int x, int y, Rgb colour, float opacity)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
    const float a = std::clamp(opacity, 0.0f, 1.0f);
    const std::uint8_t c[3] = { colour.r, colour.g, colour.b };
    for (int k = 0; k < 3; ++k)
        p[k] = static_cast<std::uint8_t>(std::lround(float(p[k]) + (float(c[k]) - float(p[k])) * a));
}

void PlotCanvas::fill(int x0, int y0, int x1, int y1, Rgb colour, float opacity)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, w);
    y1 = std::min(y1, h);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            blend(x, y, colour, opacity);
}

void PlotCanvas::span(int x, double y0, double y1, Rgb colour, float opacity)
{
    if (!(y0 < y1) || x < 0 || x >= w)
        return;
    y0 = std::max(y0, 0.0);
    y1 = std::min(y1, double(h));
    for (int y = static_cast<int>(std::floor(y0)); y < y1; ++y) {
        const double covered = std::min(y1, y + 1.0) - std::max(y0, double(y));
        if (covered > 0.0)
            blend(x, y, colour, opacity * static_cast<float>(covered));
    }
}

float PlotCanvas::text(const Tarvo::FontAtlas& font, std::string_view line, float x, float baseline, Rgb colour)
{
    const std::vector<std::uint8_t>& coverage = font.coverage();
    // Glyphs are placed at whole pixels: the atlas holds them at one pixel a texel, and
    // resampling them would only blur small labels.
    for (const Tarvo::GlyphQuad& q : font.layout(line, x, baseline)) {
        const int sx = static_cast<int>(std::lround(q.s0 * float(font.width())));
        const int sy = static_cast<int>(std::lround(q.t0 * float(font.height())));
        const int gw = static_cast<int>(std::lround(q.s1 * float(font.width()))) - sx;
        const int gh = static_cast<int>(std::lround(q.t1 * float(font.height()))) - sy;
        const int dx = static_cast<int>(std::lround(q.x0));
        const int dy = static_cast<int>(std::lround(q.y0));
        for (int y = 0; y < gh; ++y)
            for (int x0 = 0; x0 < gw; ++x0) {
                const std::uint8_t c = coverage[static_cast<std::size_t>(sy + y) * font.width() + sx + x0];
                if (c)
                    blend(dx + x0, dy + y, colour, float(c) / 255.0f);
            }
    }
    return font.textWidth(line);
}

} // namespace synctool
