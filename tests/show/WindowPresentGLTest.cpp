// The show's own window at framebuffer sizes other than its 1920x1080 frame: what "the
// window" is to the frame, and the frame scaled into the real framebuffer with black bars,
// read back from it; the frame goes straight to a framebuffer of its own size.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "engine/WindowSize.h"
#include "engine/WindowTarget.h"
#include "runtime/Window.h"
#include "support/FramePattern.h"
#include "support/GLTestContext.h"

namespace {

constexpr int frameWidth = 1920;
constexpr int frameHeight = 1080;

bool openShowWindow()
{
    static const bool opened = [] {
        Tarvo::WindowOptions options;
        options.windowed = true;
        options.visible = false;
        options.resizable = true;
        return Tarvo::initWindow(frameWidth, frameHeight, options, "Vantor window test");
    }();
    return opened;
}

// Resizes the window and shows a frame, after which the window follows its framebuffer.
void resizeTo(int width, int height)
{
    glfwSetWindowSize(Tarvo::currentWindow(), width, height);
    Tarvo::swapBuffers();
}

struct Size {
    int width;
    int height;
};

class WindowPresentGLTest : public ::testing::TestWithParam<Size> {};

} // namespace

TEST_P(WindowPresentGLTest, TheFrameIsScaledIntoTheRealFramebufferWithBlackBars)
{
    REQUIRE_CONTEXT(openShowWindow());
    const Size size = GetParam();
    resizeTo(size.width, size.height);
    int width = 0, height = 0;
    glfwGetFramebufferSize(Tarvo::currentWindow(), &width, &height);
    ASSERT_EQ(width, size.width);
    ASSERT_EQ(height, size.height);
    ASSERT_NE(Tarvo::windowFramebuffer(), 0u) << "the frame goes to a stand-in of its own size";

    testsupport::fillQuadrants(Tarvo::windowFramebuffer(), frameWidth, frameHeight);
    Tarvo::windowTarget()->present();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "the window's framebuffer may be multisampled";
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    const Tarvo::PixelRect r = Tarvo::fitFrame(frameWidth, frameHeight, width, height);
    testsupport::expectQuadrantsAt(
        [](int x, int y) {
            const auto p = testsupport::readPixel(x, y);
            return testsupport::Rgb { p[0], p[1], p[2] };
        },
        { r.x, r.y, r.width, r.height }, width, height);
}

INSTANTIATE_TEST_SUITE_P(Framebuffers, WindowPresentGLTest,
    ::testing::Values(Size { 1280, 720 }, Size { 1024, 768 }, Size { 2560, 1600 }, Size { 1080, 1920 }),
    [](const ::testing::TestParamInfo<Size>& info) {
        return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
    });

TEST(WindowPresentGLTest, AFramebufferOfTheFrameSizeGetsTheFrameDirectly)
{
    REQUIRE_CONTEXT(openShowWindow());
    resizeTo(1280, 720);
    ASSERT_NE(Tarvo::windowFramebuffer(), 0u);
    glBindFramebuffer(GL_FRAMEBUFFER, Tarvo::windowFramebuffer());
    resizeTo(frameWidth, frameHeight);
    EXPECT_EQ(Tarvo::windowFramebuffer(), 0u) << "no stand-in, no extra pass";
    EXPECT_FALSE(Tarvo::windowTarget()->scaling());
    GLint bound = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0) << "whoever had the window bound still has it";
}
