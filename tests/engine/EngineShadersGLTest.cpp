// What the engine's own image shaders do to a picture: FXAA smooths stair-stepped edges
// and nothing else, post-processing mixes to grey and adds only a faint grain.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/ImageFx.h"

using namespace enginetest;
using Tarvo::Fbo;
using Tarvo::ImageFx;

namespace {

constexpr int side = 32;

// Uploads an RGBA float picture into a target's texture 0.
void upload(Fbo& fbo, const std::vector<float>& pixels)
{
    glBindTexture(GL_TEXTURE_2D, fbo.getTexture(0));
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, fbo.getWidth(), fbo.getHeight(), GL_RGBA, GL_FLOAT,
        pixels.data());
}

std::vector<float> runEffect(ImageFx& effect, Fbo& input, Fbo& output, double time = 0.0)
{
    effect.setInput(input.getTexture(0));
    output.bind();
    effect.render(time);
    output.unbind();
    return texturePixels(output.getTexture(0), output.getWidth(), output.getHeight());
}

class EngineShadersGLTest : public EngineGLTest {};

} // namespace

TEST_F(EngineShadersGLTest, FxaaSmoothsAStaircaseEdgeAndLeavesFlatAreasAlone)
{
    // White below a shallow staircase (one step up every 4 pixels), black above.
    std::vector<float> picture(side * side * 4);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float v = y < 8 + x / 4 ? 1.0f : 0.0f;
            for (int c = 0; c < 3; ++c)
                picture[(y * side + x) * 4 + c] = v;
            picture[(y * side + x) * 4 + 3] = 1.0f;
        }
    Fbo input(side, side, 1, 1, GL_RGBA16F);
    Fbo output(side, side, 1, 1, GL_RGBA16F);
    upload(input, picture);
    ImageFx fxaa("./data/shaders/fxaa.fs");
    const auto result = runEffect(fxaa, input, output);

    int blended = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float value = texel(result, side, x, y)[0];
            const int distance = y - (8 + x / 4);
            if (distance >= 2 || distance <= -3) {
                ASSERT_EQ(value, picture[(y * side + x) * 4]) << "far from the edge: " << x << "," << y;
            }
            if (value > 0.02f && value < 0.98f)
                ++blended;
            ASSERT_EQ(texel(result, side, x, y)[3], 1.0f);
        }
    EXPECT_GT(blended, side / 2) << "the edge pixels are blended";

    // A flat picture passes through untouched.
    std::vector<float> flat(side * side * 4, 0.5f);
    upload(input, flat);
    for (float value : runEffect(fxaa, input, output))
        ASSERT_TRUE(value == 0.5f || value == 1.0f);
}

TEST_F(EngineShadersGLTest, PostProcessingMixesToGreyWithAFaintGrainThatKeepsBlackBlack)
{
    Fbo input(side, side, 1, 1, GL_RGBA16F);
    Fbo output(side, side, 1, 1, GL_RGBA16F);
    std::vector<float> colour(side * side * 4);
    for (std::size_t i = 0; i < colour.size(); i += 4) {
        colour[i] = 0.8f;
        colour[i + 1] = 0.4f;
        colour[i + 2] = 0.1f;
        colour[i + 3] = 1.0f;
    }
    upload(input, colour);
    ImageFx post("./data/shaders/postproc.fs");
    const float luma = 0.2126f * 0.8f + 0.7152f * 0.4f + 0.0722f * 0.1f;
    const float grain = 0.02f;

    post.addFloat("bwmix", 0.0);
    post.addFloat("iGlobalTime", 0.0);
    const auto full = runEffect(post, input, output);
    post.clearFloats();
    post.addFloat("bwmix", 1.0);
    post.addFloat("iGlobalTime", 0.0);
    const auto grey = runEffect(post, input, output);
    post.clearFloats();
    post.addFloat("bwmix", 1.0);
    post.addFloat("iGlobalTime", 1.0);
    const auto greyLater = runEffect(post, input, output);
    post.clearFloats();

    int moved = 0;
    for (std::size_t i = 0; i < full.size(); i += 4) {
        ASSERT_NEAR(full[i], 0.8f, grain);
        ASSERT_NEAR(full[i + 1], 0.4f, grain);
        ASSERT_NEAR(full[i + 2], 0.1f, grain);
        ASSERT_NEAR(grey[i], luma, grain);
        ASSERT_FLOAT_EQ(grey[i], grey[i + 1]);
        ASSERT_FLOAT_EQ(grey[i], grey[i + 2]);
        ASSERT_EQ(grey[i + 3], 1.0f);
        if (grey[i] != greyLater[i])
            ++moved;
    }
    EXPECT_GT(moved, side * side / 2) << "the grain moves with time";

    // Black stays black at any time and any mix.
    upload(input, std::vector<float>(side * side * 4, 0.0f));
    post.addFloat("bwmix", 0.5);
    post.addFloat("iGlobalTime", 7.0);
    const auto black = runEffect(post, input, output);
    for (std::size_t i = 0; i < black.size(); i += 4)
        ASSERT_EQ(black[i], 0.0f);
}

TEST_F(EngineShadersGLTest, GlowCombiningAddsTheGlowAndTheConstantToThePicture)
{
    Fbo picture(side, side, 1, 1, GL_RGBA16F);
    Fbo blurred(side, side, 1, 1, GL_RGBA16F);
    Fbo output(side, side, 1, 1, GL_RGBA16F);
    upload(picture, std::vector<float>(side * side * 4, 0.0f));
    upload(blurred, std::vector<float>(side * side * 4, 0.0f));
    ImageFx combine("./data/shaders/glowtot.fs");
    combine.addTexture("origrender", picture.getTexture(0));
    EXPECT_EQ(runEffect(combine, blurred, output)[0], 0.0f) << "nothing from nothing";

    upload(blurred, std::vector<float>(side * side * 4, 0.25f));
    const float withGlow = runEffect(combine, blurred, output)[0];
    EXPECT_GT(withGlow, 0.25f) << "glow spills light onto black";

    combine.addFloat("addconst", 0.5);
    EXPECT_NEAR(runEffect(combine, blurred, output)[0], withGlow + 0.5f, 1e-3);
}
