// The text overlay: glyph cells picked by character code from a 16 x 16 grid, one square
// per character, drawn with blending that is switched off afterwards.
#include <gtest/gtest.h>

#include <unistd.h>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/TextOverlay.h"
#include "support/GLTestContext.h"

using namespace enginetest;

namespace {

constexpr int cellPixels = 4;
constexpr int fontSide = 16 * cellPixels;

// Screen positions in pixels of a 64 x 48 target, mapped to clip space.
const char* const overlayVertex = "#version 330 core\n"
                                  "in vec2 vertexPosition_screenspace;\n"
                                  "in vec2 vertexUV;\n"
                                  "out vec2 UV;\n"
                                  "void main() {\n"
                                  "  gl_Position = vec4(vertexPosition_screenspace / vec2(32.0, 24.0) - 1.0, 0.0, 1.0);\n"
                                  "  UV = vertexUV;\n"
                                  "}\n";
const char* const overlayFragment = "#version 330 core\n"
                                    "in vec2 UV;\n"
                                    "uniform sampler2D myTextureSampler;\n"
                                    "out vec4 color;\n"
                                    "void main() { color = textureLod(myTextureSampler, UV, 0.0); }\n";

class TextOverlayGLTest : public EngineGLTest {
protected:
    void SetUp() override
    {
        EngineGLTest::SetUp();
        // Opaque white only in the cell of 'A' (65: column 1, row 4 from the top).
        std::vector<std::uint8_t> font(static_cast<std::size_t>(fontSide) * fontSide * 4, 0);
        for (int y = 4 * cellPixels; y < 5 * cellPixels; ++y) {
            for (int x = 1 * cellPixels; x < 2 * cellPixels; ++x) {
                for (int c = 0; c < 4; ++c)
                    font[(static_cast<std::size_t>(y) * fontSide + x) * 4 + c] = 255;
            }
        }
        fontPath = writePng(scratch, "font.png", fontSide, fontSide, 4, font);
        scratch.write("TextVertexShader.vertexshader", overlayVertex);
        scratch.write("TextVertexShader.fragmentshader", overlayFragment);
        ASSERT_EQ(chdir(scratch.path().c_str()), 0);
    }

    void TearDown() override
    {
        cleanupTextOverlay();
        EngineGLTest::TearDown();
    }

    std::string fontPath;
};

// Whether the pixel at the centre of character slot i (size 8, baseline y 8) is white.
bool slotLit(const std::vector<std::uint8_t>& pixels, int slot)
{
    const int x = 4 + 8 * slot;
    const int y = 12;
    return pixels[(static_cast<std::size_t>(y) * windowWidth + x) * 4] > 200;
}

} // namespace

TEST_F(TextOverlayGLTest, DrawsTheGlyphCellOfEachCharacter)
{
    Tarvo::Fbo target(windowWidth, windowHeight, 0, 1, GL_RGBA16F);
    initTextOverlay(fontPath.c_str());
    target.bind();
    printTextOverlay("BAxA", 0, 8, 8);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending is switched off after the text";
    const auto pixels = testsupport::readPixels(0, 0, windowWidth, windowHeight);
    target.unbind();

    EXPECT_FALSE(slotLit(pixels, 0));
    EXPECT_TRUE(slotLit(pixels, 1));
    EXPECT_FALSE(slotLit(pixels, 2));
    EXPECT_TRUE(slotLit(pixels, 3));
    // Nothing above the characters' row.
    EXPECT_EQ(pixels[(static_cast<std::size_t>(20) * windowWidth + 12) * 4], 0);
}

TEST_F(TextOverlayGLTest, PrintingBeforeInitOrAfterCleanupDrawsNothing)
{
    Tarvo::Fbo target(windowWidth, windowHeight, 0, 1, GL_RGBA16F);
    target.bind();
    printTextOverlay("AAAA", 0, 8, 8);
    initTextOverlay(fontPath.c_str());
    cleanupTextOverlay();
    printTextOverlay("AAAA", 0, 8, 8);
    const auto pixels = testsupport::readPixels(0, 0, windowWidth, windowHeight);
    target.unbind();
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_FALSE(slotLit(pixels, slot));
}
