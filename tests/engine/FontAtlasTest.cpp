// Text rasterised from Debian's DejaVu font: glyphs with ink where they should be, lines
// laid out left to right, and a clear refusal of files that are not fonts.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "engine/FontAtlas.h"

namespace {

TEST(FontAtlasTest, GlyphsHaveInkAndALineAdvancesEvenly)
{
    Tarvo::FontAtlas font;
    ASSERT_TRUE(font.load(Tarvo::FontAtlas::defaultFontPath(), 16.0f)) << font.error();
    const auto quads = font.layout("Hi!", 10.0f, 20.0f);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_LT(quads[0].x0, quads[1].x0);
    EXPECT_LT(quads[1].x0, quads[2].x0);
    EXPECT_LT(quads[0].y0, 20.0f) << "capitals rise above the baseline";
    // Monospaced: every character advances the same.
    EXPECT_FLOAT_EQ(font.textWidth("iii"), font.textWidth("WWW"));
    EXPECT_FLOAT_EQ(font.textWidth("\x01"), font.textWidth("?")) << "unprintable shows as ?";

    const auto& h = quads[0];
    long ink = 0;
    for (int y = int(h.t0 * font.height()); y < int(h.t1 * font.height()); ++y)
        for (int x = int(h.s0 * font.width()); x < int(h.s1 * font.width()); ++x)
            ink += font.coverage()[static_cast<std::size_t>(y) * font.width() + x];
    EXPECT_GT(ink, 255 * 10) << "the H has ink in its part of the atlas";
}

TEST(FontAtlasTest, FilesThatAreNotFontsAreRefusedWithAReason)
{
    testsupport::ScratchDir dir;
    const auto text = dir.write("not-a-font.ttf", "just some text, not a font at all");
    Tarvo::FontAtlas font;
    EXPECT_FALSE(font.load(text, 16.0f));
    EXPECT_NE(font.error().find("not a TrueType font"), std::string::npos) << font.error();
    EXPECT_TRUE(font.layout("x", 0, 0).empty());
    EXPECT_FALSE(font.load((dir.path() / "missing.ttf").string(), 16.0f));
    EXPECT_FALSE(font.load(Tarvo::FontAtlas::defaultFontPath(), 0.0f)) << "no zero-size text";
}

} // namespace
