// Framebuffer objects and the bound-target stack: what is current, the viewport and what
// survives in each target as targets are bound and released; attachments and filters.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/ImageFx.h"
#include "engine/WindowSize.h"
#include "support/CapturedOutput.h"
#include "support/GLTestContext.h"

using namespace enginetest;
using testsupport::CapturedOutput;
using Tarvo::Fbo;
using Tarvo::fboStack;

namespace {

using Viewport = std::array<GLint, 4>;

std::array<std::uint8_t, 4> pixelAt(int x, int y)
{
    const auto p = testsupport::readPixel(x, y);
    return { p[0], p[1], p[2], p[3] };
}

std::array<float, 4> firstTexel(const Fbo& fbo, unsigned i = 0)
{
    return texel(texturePixels(fbo.getTexture(i), fbo.getWidth(), fbo.getHeight()), fbo.getWidth(),
        0, 0);
}

GLint depthAt(int x, int y)
{
    float depth = -1.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth == 1.0f ? 1 : 0;
}

class FboGLTest : public EngineGLTest {};

} // namespace

TEST_F(FboGLTest, NestedBindsReturnToTheTargetBelowClearedAndThenToTheWindow)
{
    Fbo a(32, 16, 1, 1, GL_RGBA16F);
    Fbo b(8, 4, 1, 1, GL_RGBA16F);
    EXPECT_EQ(currentFramebuffer(), 0) << "construction leaves the window bound";
    fillCurrent(0, 0, 1, 1); // the window: blue

    a.bind();
    EXPECT_EQ(currentFramebuffer(), static_cast<GLint>(a.getFramebuffer()));
    EXPECT_EQ(currentViewport(), (Viewport { 0, 0, 32, 16 }));
    EXPECT_EQ(pixelAt(5, 5), (std::array<std::uint8_t, 4> { 0, 0, 0, 0 })) << "A cleared by bind";
    fillCurrent(1, 0, 0, 1);
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);

    b.bind();
    EXPECT_EQ(currentFramebuffer(), static_cast<GLint>(b.getFramebuffer()));
    EXPECT_EQ(currentViewport(), (Viewport { 0, 0, 8, 4 }));
    EXPECT_EQ(pixelAt(1, 1), (std::array<std::uint8_t, 4> { 0, 0, 0, 0 }));
    ASSERT_EQ(fboStack.size(), 2u);
    EXPECT_EQ(fboStack.back(), &b);
    fillCurrent(0, 1, 0, 1);

    b.unbind();
    EXPECT_EQ(currentFramebuffer(), static_cast<GLint>(a.getFramebuffer()));
    EXPECT_EQ(currentViewport(), (Viewport { 0, 0, 32, 16 }));
    EXPECT_EQ(pixelAt(31, 15), (std::array<std::uint8_t, 4> { 0, 0, 0, 0 }))
        << "what A held before B was bound is cleared";
    EXPECT_EQ(depthAt(3, 3), 1) << "A's depth is cleared too";
    EXPECT_EQ(firstTexel(b), (std::array<float, 4> { 0, 1, 0, 1 })) << "B keeps its picture";
    fillCurrent(1, 1, 0, 1);

    a.unbind();
    EXPECT_TRUE(fboStack.empty());
    EXPECT_EQ(currentFramebuffer(), 0);
    EXPECT_EQ(currentViewport(), (Viewport { 0, 0, windowWidth, windowHeight }));
    EXPECT_EQ(pixelAt(windowWidth - 1, windowHeight - 1), (std::array<std::uint8_t, 4> { 0, 0, 0, 0 }))
        << "the window is cleared when the stack empties";
    EXPECT_EQ(firstTexel(a), (std::array<float, 4> { 1, 1, 0, 1 }));
}

TEST_F(FboGLTest, UnbindReleasesTheTopWhicheverObjectItIsCalledOn)
{
    Fbo a(16, 16, 0, 1, GL_RGBA16F);
    Fbo b(8, 8, 0, 1, GL_RGBA16F);
    a.bind();
    b.bind();
    a.unbind();
    ASSERT_EQ(fboStack.size(), 1u);
    EXPECT_EQ(fboStack.back(), &a);
    EXPECT_EQ(currentFramebuffer(), static_cast<GLint>(a.getFramebuffer()));
    EXPECT_EQ(currentViewport(), (Viewport { 0, 0, 16, 16 }));
    b.unbind();
    EXPECT_TRUE(fboStack.empty());
    EXPECT_EQ(currentFramebuffer(), 0);
}

TEST_F(FboGLTest, UnbindWithNothingBoundIsReportedAndChangesNothing)
{
    Fbo a(16, 16, 0, 1, GL_RGBA16F);
    glViewport(1, 2, 3, 4);
    fillCurrent(0, 0, 1, 1);
    CapturedOutput err(CapturedOutput::Stream::err);
    a.unbind();
    EXPECT_NE(err.take(), "");
    EXPECT_TRUE(fboStack.empty());
    EXPECT_EQ(currentFramebuffer(), 0);
    EXPECT_EQ(currentViewport(), (Viewport { 1, 2, 3, 4 }));
    EXPECT_EQ(pixelAt(0, 0), (std::array<std::uint8_t, 4> { 0, 0, 255, 255 })) << "no clear";
}

TEST_F(FboGLTest, WithoutAKnownWindowSizeTheWindowGetsItsViewportBack)
{
    Fbo a(16, 16, 0, 1, GL_RGBA16F);
    glViewport(0, 0, 20, 10);
    const int width = Tarvo::windowWidth();
    const int height = Tarvo::windowHeight();
    Tarvo::clearWindowSize();
    a.bind();
    a.unbind();
    const Viewport viewport = currentViewport();
    Tarvo::setWindowSize(width, height);
    EXPECT_EQ(viewport, (Viewport { 0, 0, 20, 10 }));
    EXPECT_EQ(currentFramebuffer(), 0);
}

TEST_F(FboGLTest, DestroyingABoundTargetTakesItOffTheStack)
{
    Fbo a(16, 16, 0, 1, GL_RGBA16F);
    a.bind();
    CapturedOutput err(CapturedOutput::Stream::err);
    {
        Fbo b(8, 8, 0, 1, GL_RGBA16F);
        b.bind();
        // b goes out of scope while bound.
    }
    EXPECT_NE(err.take(), "");
    ASSERT_EQ(fboStack.size(), 1u);
    EXPECT_EQ(fboStack.back(), &a);
    a.unbind();
    EXPECT_TRUE(fboStack.empty());
}

TEST_F(FboGLTest, ThreeAttachmentsAreLoggedAndAllReceiveOneDraw)
{
    const auto shader = scratch.write("three.fs", "#version 330 core\n"
                                                  "layout(location = 0) out vec4 out0;\n"
                                                  "layout(location = 1) out vec4 out1;\n"
                                                  "layout(location = 2) out vec4 out2;\n"
                                                  "void main() {\n"
                                                  "  out0 = vec4(1.0, 0.0, 0.0, 1.0);\n"
                                                  "  out1 = vec4(0.0, 0.5, 0.0, 1.0);\n"
                                                  "  out2 = vec4(0.0, 0.0, 0.25, 1.0);\n"
                                                  "}\n");
    CapturedOutput out;
    Fbo fbo(4, 4, 1, 3, GL_RGBA16F);
    EXPECT_EQ(out.take(), "0:: 36064\n1:: 36065\n2:: 36066\n");
    EXPECT_EQ(fbo.getTextureCount(), 3u);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE))
        << "window bound again";

    Tarvo::ImageFx effect(shader);
    fbo.bind();
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    effect.render(0.0);
    fbo.unbind();
    EXPECT_EQ(firstTexel(fbo, 0), (std::array<float, 4> { 1, 0, 0, 1 }));
    EXPECT_EQ(firstTexel(fbo, 1), (std::array<float, 4> { 0, 0.5f, 0, 1 }));
    EXPECT_EQ(firstTexel(fbo, 2), (std::array<float, 4> { 0, 0, 0.25f, 1 }));
}

TEST_F(FboGLTest, ColourTexturesAreFloatClampedAndFilteredAsAsked)
{
    struct Case {
        int filter;
        GLint mag;
        GLint min;
    };
    // Other filter values leave GL's defaults.
    for (const Case c : { Case { 0, GL_NEAREST, GL_NEAREST }, Case { 1, GL_LINEAR, GL_LINEAR },
             Case { 7, GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR } }) {
        Fbo fbo(4, 2, c.filter, 1, GL_RGBA16F);
        glBindTexture(GL_TEXTURE_2D, fbo.getTexture(0));
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, c.mag) << c.filter;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, c.min) << c.filter;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
        EXPECT_EQ(value, GL_RGBA16F);
        EXPECT_EQ(fbo.getWidth(), 4);
        EXPECT_EQ(fbo.getHeight(), 2);
    }
}

TEST_F(FboGLTest, NearestAndLinearTargetsSampleAsTheirFilterSays)
{
    // A 2 x 1 target, black on the left and white on the right, sampled exactly between
    // the two texels: nearest picks one of them, linear gives the average.
    const auto shader = scratch.write("middle.fs", "#version 330 core\n"
                                                   "uniform sampler2D inputtex;\n"
                                                   "out vec4 color;\n"
                                                   "void main() { color = texture(inputtex, vec2(0.5, 0.5)); }\n");
    Tarvo::ImageFx sample(shader);
    Fbo result(1, 1, 0, 1, GL_RGBA16F);
    for (int filter : { 0, 1 }) {
        Fbo picture(2, 1, filter, 1, GL_RGBA16F);
        picture.bind();
        fillCurrent(0, 0, 0, 1);
        glEnable(GL_SCISSOR_TEST);
        glScissor(1, 0, 1, 1);
        fillCurrent(1, 1, 1, 1);
        glDisable(GL_SCISSOR_TEST);
        picture.unbind();

        result.bind();
        sample.setInput(picture.getTexture(0));
        sample.render(0.0);
        result.unbind();
        const float red = firstTexel(result)[0];
        if (filter == 0)
            EXPECT_TRUE(red == 0.0f || red == 1.0f) << red;
        else
            EXPECT_NEAR(red, 0.5f, 0.01f);
    }
}

TEST_F(FboGLTest, OutOfRangeIndicesAreReportedWithSafeResults)
{
    Fbo fbo(4, 4, 1, 2, GL_RGBA16F);
    EXPECT_EQ(fbo.getTexId(0), -1) << "no location until the owner sets one";
    fbo.setTexId(1, 7);
    EXPECT_EQ(fbo.getTexId(1), 7);
    CapturedOutput err(CapturedOutput::Stream::err);
    EXPECT_EQ(fbo.getTexture(2), 0u);
    EXPECT_EQ(fbo.getTexId(5), -1);
    fbo.setTexId(2, 3);
    EXPECT_NE(err.take(), "");
    EXPECT_EQ(fbo.getTexId(1), 7);
}

TEST_F(FboGLTest, DestructionReleasesEveryGLObject)
{
    GLuint framebuffer = 0;
    std::vector<GLuint> textures;
    {
        Fbo fbo(4, 4, 1, 3, GL_RGBA16F);
        framebuffer = fbo.getFramebuffer();
        for (unsigned i = 0; i < 3; ++i)
            textures.push_back(fbo.getTexture(i));
        EXPECT_TRUE(glIsFramebuffer(framebuffer));
    }
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    for (GLuint texture : textures)
        EXPECT_FALSE(glIsTexture(texture));
}
