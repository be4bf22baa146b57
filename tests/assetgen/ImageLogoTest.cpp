// The title logo: transparent around the word, opaque inside every letter, six
// separate letters with their strokes where the letterforms put them.
#include "images/Logo.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen::images;

namespace {

constexpr int width = 1024;
constexpr int height = 256;

const Raster& logo()
{
    static const Raster image = makeLogo(width, height);
    return image;
}

} // namespace

TEST(ImageLogo, TransparentBorderAndCorners)
{
    const Raster& image = logo();
    EXPECT_TRUE(image.allFinite());
    for (int x = 0; x < width; ++x) {
        ASSERT_EQ(image.at(x, 0).a, 0.0f) << x;
        ASSERT_EQ(image.at(x, height - 1).a, 0.0f) << x;
    }
    for (int y = 0; y < height; ++y) {
        ASSERT_EQ(image.at(0, y).a, 0.0f) << y;
        ASSERT_EQ(image.at(width - 1, y).a, 0.0f) << y;
    }
}

TEST(ImageLogo, OpaqueInsideTheLettersAndClearBeyondTheGlow)
{
    const Raster& image = logo();
    const LogoLayout layout = logoLayout(width, height);
    const float pixel = 1.0f / layout.scale;
    int inside = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float d = logoDistance(logoUnitsAt(layout, x, y));
            const float a = image.at(x, y).a;
            if (d < -pixel) {
                ++inside;
                ASSERT_EQ(a, 1.0f) << x << "," << y;
                // The face is light metal, not the dark outline.
                ASSERT_GT(luminance(image.at(x, y)), 0.35f) << x << "," << y;
            } else if (d > logoGlowReach) {
                ASSERT_EQ(a, 0.0f) << x << "," << y;
            }
        }
    }
    // Six letters with strokes a fifth of the cap height cover a good share.
    EXPECT_GT(inside, width * height / 20);
}

TEST(ImageLogo, WordIsCentredWithRoomForTheGlow)
{
    for (const auto& [w, h] : {std::pair{2048, 512}, std::pair{1024, 256}, std::pair{600, 600}, std::pair{3000, 200}}) {
        const LogoLayout layout = logoLayout(w, h);
        const float left = layout.originX;
        const float right = layout.originX + logoWordWidth() * layout.scale;
        const float top = layout.originY - layout.scale;
        const float reach = logoGlowReach * layout.scale;
        EXPECT_NEAR(left, w - right, 1e-2f) << w << "x" << h;
        EXPECT_NEAR(top, h - layout.originY, 1e-2f) << w << "x" << h;
        EXPECT_GT(left, reach) << w << "x" << h;
        EXPECT_GT(top, reach) << w << "x" << h;
    }
}

TEST(ImageLogo, SixSeparateLettersWithTheirStrokes)
{
    // Across the upper middle of the letters (60 % of the cap height) the strokes are
    // V: 2, A: 2 (above its bar), N: 3, T: 1 (stem), O: 2, R: 1 (stem joined to the
    // bowl's lower bar) = 11 runs of face, separated by outline or background.
    const Raster& image = logo();
    const LogoLayout layout = logoLayout(width, height);
    const int row = static_cast<int>(std::lround(layout.originY - 0.6f * layout.scale));
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < width; ++x) {
        const Color& c = image.at(x, row);
        const bool face = c.a > 0.99f && luminance(c) > 0.35f;
        if (face && !inRun)
            ++runs;
        inRun = face;
    }
    EXPECT_EQ(runs, 11);
}

TEST(ImageLogo, TinyImagesDoNotBreak)
{
    const Raster tiny = makeLogo(8, 2);
    EXPECT_TRUE(tiny.allFinite());
    const Raster degenerate = makeLogo(0, 0);
    EXPECT_EQ(degenerate.width(), 1);
    EXPECT_TRUE(degenerate.allFinite());
}
