// The show's title, "VANTOR", drawn from hand-built vector letters (no font files):
// each letter is a small set of polygons and rounded boxes combined as signed distance
// fields, which gives exact anti-aliasing, an outline and a glow from one function.
#pragma once

#include "images/Raster.h"
#include "images/Shapes.h"

namespace assetgen::images {

// Signed distance to the title's letters in letter units: the cap height is 1, the
// baseline is y = 0 with y up, and the word starts at x = 0.
float logoDistance(Vec2 p);

// Width of the whole word in letter units.
float logoWordWidth();

// Where the word sits in an image: pixel (x, y) (y down, pixel centres at + 0.5) maps to
// letter units as ((x + 0.5 - originX) / scale, (originY - y - 0.5) / scale).
struct LogoLayout {
    float originX = 0.0f; // pixel x of the word's left end
    float originY = 0.0f; // pixel y of the baseline
    float scale = 1.0f;   // pixels per letter unit (the cap height in pixels)
};
LogoLayout logoLayout(int width, int height);
Vec2 logoUnitsAt(const LogoLayout& layout, int x, int y);

// The outline and glow reach this far outside the letters, in cap heights; beyond it
// the image is fully transparent.
constexpr float logoGlowReach = 0.3f;

// The title centred on a transparent RGBA image: chrome-like letters with a thin dark
// outline and a warm glow that fades out well before the image border.
Raster makeLogo(int width, int height);

} // namespace assetgen::images
