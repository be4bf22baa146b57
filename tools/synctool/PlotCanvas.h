// An RGB picture in memory that a plot paints into: filled rectangles, translucent
// spans and text from a FontAtlas's coverage. Everything outside the picture is clipped,
// so callers can place things by arithmetic without checking each pixel.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace Tarvo { class FontAtlas; }

namespace synctool {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

class PlotCanvas {
public:
    PlotCanvas(int width, int height, Rgb background);

    int width() const { return w; }
    int height() const { return h; }
    // Three bytes a pixel, rows top first: what a PNG writer takes.
    const std::vector<std::uint8_t>& pixels() const { return rgb; }
    Rgb at(int x, int y) const;

    // Covers [x0, x1) x [y0, y1) with colour mixed over what is there at opacity 0 to 1.
    void fill(int x0, int y0, int x1, int y1, Rgb colour, float opacity = 1.0f);
    // Covers column x from y0 to y1, continuous coordinates (pixel row y spans y to y + 1),
    // pixels at the ends in proportion to how much of them the span covers: sloping
    // lines drawn a column at a time come out smooth instead of stepped.
    void span(int x, double y0, double y1, Rgb colour, float opacity = 1.0f);
    // Text whose baseline starts at (x, baseline); returns the width it took.
    float text(const Tarvo::FontAtlas& font, std::string_view line, float x, float baseline, Rgb colour);

private:
    void blend(int x, int y, Rgb colour, float opacity);

    int w;
    int h;
    std::vector<std::uint8_t> rgb;
};

} // namespace synctool
