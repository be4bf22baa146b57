// Presenting a 1920x1080 frame in window framebuffers of other sizes: where it lands, the
// black bars around it, nothing cut off, and no extra pass when the sizes match.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/WindowSize.h"
#include "engine/WindowTarget.h"
#include "support/FramePattern.h"
#include "support/GLTestContext.h"

using namespace enginetest;
using Tarvo::PixelRect;
using Tarvo::WindowTarget;

namespace {

constexpr int frameWidth = 1920;
constexpr int frameHeight = 1080;

using testsupport::Rgb;

struct Screen {
    int width;
    int height;
    PixelRect expected; // where the frame must land, worked out by hand
};

void fillWith(GLuint framebuffer, float grey)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// An RGBA8 framebuffer standing in for a window's of some size.
class Destination {
public:
    Destination(int width, int height)
    {
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    ~Destination()
    {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colour);
    }
    Rgb pixel(int x, int y) const
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        const auto p = testsupport::readPixel(x, y);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return { p[0], p[1], p[2] };
    }
    GLuint framebuffer = 0;
    GLuint colour = 0;
};

class WindowTargetGLTest : public EngineGLTest {};
class WindowTargetSizes : public WindowTargetGLTest, public ::testing::WithParamInterface<Screen> {};

} // namespace

TEST(FitFrame, ShapesAndDegenerateSizes)
{
    EXPECT_EQ(Tarvo::fitFrame(1920, 1080, 1920, 1080), (PixelRect { 0, 0, 1920, 1080 }));
    EXPECT_EQ(Tarvo::fitFrame(1920, 1080, 3840, 2160), (PixelRect { 0, 0, 3840, 2160 }));
    EXPECT_EQ(Tarvo::fitFrame(1920, 1080, 2560, 1080), (PixelRect { 320, 0, 1920, 1080 })) << "pillarbox";
    EXPECT_EQ(Tarvo::fitFrame(1920, 1080, 1920, 1067), (PixelRect { 11, 0, 1897, 1067 }))
        << "a window whose title bar took 13 rows";
    EXPECT_EQ(Tarvo::fitFrame(1920, 1080, 0, 720), PixelRect {});
    EXPECT_EQ(Tarvo::fitFrame(0, 1080, 1280, 720), PixelRect {});
    EXPECT_EQ(Tarvo::fitFrame(16384, 16384, 16384, 1), (PixelRect { 8191, 0, 1, 1 })) << "no overflow";
}

TEST_P(WindowTargetSizes, TheFrameIsScaledIntoItsRectangleWithBlackBars)
{
    const Screen screen = GetParam();
    WindowTarget target(frameWidth, frameHeight);
    target.follow(screen.width, screen.height);
    ASSERT_TRUE(target.scaling());
    ASSERT_NE(target.framebuffer(), 0u);
    EXPECT_EQ(target.placement(), screen.expected);

    testsupport::fillQuadrants(target.framebuffer(), frameWidth, frameHeight);
    Destination window(screen.width, screen.height);
    fillWith(window.framebuffer, 1.0f); // last frame's leftovers
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    target.present(window.framebuffer);
    EXPECT_EQ(currentFramebuffer(), 0) << "bindings are left as they were";
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    const PixelRect r = screen.expected;
    testsupport::expectQuadrantsAt([&](int x, int y) { return window.pixel(x, y); }, { r.x, r.y, r.width, r.height },
        screen.width, screen.height);
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowTargetSizes,
    ::testing::Values(Screen { 1280, 720, { 0, 0, 1280, 720 } }, Screen { 1024, 768, { 0, 96, 1024, 576 } },
        Screen { 2560, 1600, { 0, 80, 2560, 1440 } }, Screen { 1080, 1920, { 0, 656, 1080, 608 } },
        Screen { 2560, 1080, { 320, 0, 1920, 1080 } }),
    [](const ::testing::TestParamInfo<Screen>& info) {
        return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
    });

TEST_F(WindowTargetGLTest, AWindowOfTheFrameSizeGetsTheFrameDirectlyAndPresentingDoesNothing)
{
    WindowTarget target(frameWidth, frameHeight);
    target.follow(frameWidth, frameHeight);
    EXPECT_FALSE(target.scaling());
    EXPECT_EQ(target.framebuffer(), 0u) << "the window itself";

    Destination window(64, 64);
    fillWith(window.framebuffer, 0.5f);
    target.present(window.framebuffer);
    EXPECT_EQ(window.pixel(10, 10), (Rgb { 128, 128, 128 })) << "no pass ran";
}

TEST_F(WindowTargetGLTest, ResizingMakesAndDropsTheStandIn)
{
    WindowTarget target(frameWidth, frameHeight);
    target.follow(1280, 720);
    const GLuint standIn = target.framebuffer();
    ASSERT_NE(standIn, 0u);
    target.follow(1000, 700);
    EXPECT_EQ(target.framebuffer(), standIn) << "kept while the window keeps another size";
    EXPECT_EQ(target.placement(), (PixelRect { 0, 68, 1000, 563 }));
    target.follow(frameWidth, frameHeight);
    EXPECT_FALSE(target.scaling());
    EXPECT_FALSE(glIsFramebuffer(standIn)) << "deleted once the sizes match again";
}

TEST_F(WindowTargetGLTest, ReleasingTheLastBoundTargetReturnsToTheStandIn)
{
    WindowTarget target(windowWidth, windowHeight);
    target.follow(2 * windowWidth, windowHeight);
    Tarvo::setWindowFramebuffer(target.framebuffer());
    Tarvo::Fbo pass(16, 16, 1, 1, GL_RGBA16F);
    pass.bind();
    pass.unbind();
    EXPECT_EQ(currentFramebuffer(), static_cast<GLint>(target.framebuffer()));
    EXPECT_EQ(currentViewport(), (std::array<GLint, 4> { 0, 0, windowWidth, windowHeight }))
        << "the frame's size, not the window's";
    Tarvo::setWindowFramebuffer(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
