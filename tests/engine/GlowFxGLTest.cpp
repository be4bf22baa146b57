// The glow: blur targets sized from the source, the pass order and the blur parameters,
// what the caller's target holds afterwards, and blur widths from zero to absurd.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/GlowFx.h"

using namespace enginetest;
using Tarvo::Fbo;
using Tarvo::GlowFx;

namespace {

float uniformValue(GLuint program, const char* name)
{
    GLfloat value = -1;
    glGetUniformfv(program, glGetUniformLocation(program, name), &value);
    return value;
}

void fillFbo(Fbo& fbo, float r, float g, float b)
{
    fbo.bind();
    fillCurrent(r, g, b, 1);
    fbo.unbind();
}

class GlowFxGLTest : public EngineGLTest {};

} // namespace

TEST_F(GlowFxGLTest, BlurTargetsTakeTheConstructionSourceSizeAndKeepIt)
{
    Fbo source(1920, 1080, 1, 1, GL_RGBA16F);
    Fbo unblurred(64, 48, 1, 1, GL_RGBA16F);
    GlowFx glow(&source, &unblurred);
    EXPECT_EQ(glow.getVerticalTarget().getWidth(), 1920);
    EXPECT_EQ(glow.getVerticalTarget().getHeight(), 1080);
    EXPECT_EQ(glow.getHorizontalTarget().getWidth(), 1920);
    EXPECT_EQ(glow.getHorizontalTarget().getHeight(), 1080);

    Fbo half(960, 540, 1, 1, GL_RGBA16F);
    glow.setSource(&half);
    glow.setUnblurred(&half);
    EXPECT_EQ(glow.getSource(), &half);
    EXPECT_EQ(glow.getUnblurred(), &half);
    EXPECT_EQ(glow.getVerticalTarget().getWidth(), 1920);
    glow.render(1.0);
    EXPECT_TRUE(Tarvo::fboStack.empty());
}

TEST_F(GlowFxGLTest, HorizontalPassReadsTheSourceAndVerticalPassReadsItsResult)
{
    constexpr int w = 1920;
    constexpr int h = 1080;
    constexpr int cx = w / 2;
    constexpr int cy = h / 2;
    Fbo source(w, h, 1, 1, GL_RGBA16F);
    source.bind();
    fillCurrent(0, 0, 0, 1);
    glEnable(GL_SCISSOR_TEST);
    glScissor(cx, cy, 1, 1);
    fillCurrent(1, 1, 1, 1);
    glDisable(GL_SCISSOR_TEST);
    source.unbind();

    GlowFx glow(&source, &source);
    const double sigma = 3.0;
    glow.render(sigma);

    // With the constant reference resolutions a step is 1920/720 pixels across and
    // 1080/1280 pixels down: the dot spreads over several pixels each way.
    const auto horizontal = texturePixels(glow.getHorizontalTarget().getTexture(0), w, h);
    EXPECT_GT(texel(horizontal, w, cx + 6, cy)[0], 0.0f) << "spread sideways";
    EXPECT_GT(texel(horizontal, w, cx - 6, cy)[0], 0.0f);
    EXPECT_EQ(texel(horizontal, w, cx, cy + 2)[0], 0.0f) << "not yet up";
    const auto vertical = texturePixels(glow.getVerticalTarget().getTexture(0), w, h);
    EXPECT_GT(texel(vertical, w, cx + 6, cy + 2)[0], 0.0f) << "then up and down";
    EXPECT_GT(texel(vertical, w, cx - 6, cy - 2)[0], 0.0f);
    EXPECT_LT(texel(vertical, w, cx, cy)[0], texel(horizontal, w, cx, cy)[0]);

    EXPECT_FLOAT_EQ(uniformValue(glow.getBlurVertical().getProgram(), "iResolution"), 1280.0f);
    EXPECT_FLOAT_EQ(uniformValue(glow.getBlurHorizontal().getProgram(), "iResolution"), 720.0f);
    EXPECT_FLOAT_EQ(uniformValue(glow.getBlurVertical().getProgram(), "sigma"), 3.0f);
    EXPECT_FLOAT_EQ(uniformValue(glow.getBlurHorizontal().getProgram(), "sigma"), 3.0f);
    EXPECT_EQ(glow.getBlurHorizontal().getInput(), source.getTexture(0));
    EXPECT_EQ(glow.getBlurVertical().getInput(), glow.getHorizontalTarget().getTexture(0));
    EXPECT_EQ(glow.getInput(), glow.getVerticalTarget().getTexture(0));
}

TEST_F(GlowFxGLTest, TheBoundTargetEndsHoldingOnlyTheCombinedOutput)
{
    Fbo picture(64, 48, 1, 1, GL_RGBA16F);
    Fbo scene(64, 48, 1, 1, GL_RGBA16F);
    GlowFx glow(&picture, &picture);

    fillFbo(picture, 0, 0, 0);
    scene.bind();
    // Magenta with a depth that no later quad could pass: only a clear removes it.
    fillCurrent(1, 0, 1, 1);
    glClearDepth(0.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glow.render(2.0);
    ASSERT_EQ(Tarvo::fboStack.size(), 1u);
    EXPECT_EQ(Tarvo::fboStack.back(), &scene);
    EXPECT_EQ(currentFramebuffer(), static_cast<GLint>(scene.getFramebuffer()));
    EXPECT_EQ(currentViewport(), (std::array<GLint, 4> { 0, 0, 64, 48 }));
    scene.unbind();
    for (float value : texturePixels(scene.getTexture(0), 64, 48))
        ASSERT_TRUE(value == 0.0f || value == 1.0f) << "black and opaque, no magenta left";
    EXPECT_EQ(texel(texturePixels(scene.getTexture(0), 64, 48), 64, 10, 10),
        (std::array<float, 4> { 0, 0, 0, 1 }));

    // A grey picture glows brighter than itself, evenly.
    fillFbo(picture, 0.25f, 0.25f, 0.25f);
    scene.bind();
    fillCurrent(1, 0, 1, 1);
    glow.render(2.0);
    scene.unbind();
    const auto grey = texturePixels(scene.getTexture(0), 64, 48);
    const auto first = texel(grey, 64, 0, 0);
    EXPECT_GT(first[0], 0.25f);
    EXPECT_FLOAT_EQ(first[0], first[2]) << "no magenta";
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 9)
            ASSERT_NEAR(texel(grey, 64, x, y)[0], first[0], 1e-3) << x << "," << y;
}

TEST_F(GlowFxGLTest, CallerFloatsReachTheCombiningPassAndEveryListIsEmptyAfterwards)
{
    Fbo picture(16, 16, 1, 1, GL_RGBA16F);
    Fbo scene(16, 16, 1, 1, GL_RGBA16F);
    GlowFx glow(&picture, &picture);
    fillFbo(picture, 0, 0, 0);

    glow.addFloat("addconst", 0.5);
    scene.bind();
    glow.render(1.0);
    scene.unbind();
    EXPECT_NEAR(texturePixels(scene.getTexture(0), 16, 16)[0], 0.5f, 1e-3);
    EXPECT_TRUE(glow.getFloatInputs().empty());
    EXPECT_TRUE(glow.getTextureInputs().empty());
    EXPECT_TRUE(glow.getBlurVertical().getFloatInputs().empty());
    EXPECT_TRUE(glow.getBlurHorizontal().getFloatInputs().empty());
}

TEST_F(GlowFxGLTest, BlurWidthsFromZeroToHugeGiveFiniteNormalisedPictures)
{
    Fbo picture(64, 48, 1, 1, GL_RGBA16F);
    GlowFx glow(&picture, &picture);
    fillFbo(picture, 0.5f, 0.5f, 0.5f);
    for (double sigma : { 0.0, -4.0, 3.0, 50.0, 1e6, 1e30 }) {
        glow.render(sigma);
        for (float value : texturePixels(glow.getVerticalTarget().getTexture(0), 64, 48)) {
            ASSERT_TRUE(std::isfinite(value)) << sigma;
            ASSERT_TRUE(std::fabs(value - 0.5f) < 1e-3f || value == 1.0f) << sigma << ": " << value;
        }
    }

    // Zero width passes the picture through untouched.
    picture.bind();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 32, 48);
    fillCurrent(1, 1, 1, 1);
    glDisable(GL_SCISSOR_TEST);
    picture.unbind();
    glow.render(0.0);
    const auto through = texturePixels(glow.getVerticalTarget().getTexture(0), 64, 48);
    EXPECT_EQ(texel(through, 64, 31, 20), (std::array<float, 4> { 1, 1, 1, 1 }));
    EXPECT_EQ(texel(through, 64, 32, 20), (std::array<float, 4> { 0, 0, 0, 1 }));
}
