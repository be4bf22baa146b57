// The loading picture: a bar that fills with the loaders' progress, shown in the window,
// and GL state left exactly as the scene under construction had it.
#include <gtest/gtest.h>

#include <array>

#include "engine/Loading.h"
#include "engine/LoadProgress.h"
#include "runtime/Demo.h"
#include "runtime/LoadingScreen.h"
#include "support/DemoTestContext.h"
#include "support/GLTestContext.h"

namespace {

constexpr int width = 240;
constexpr int height = 120;

std::array<int, 3> windowPixel(int x, int y)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    const auto pixel = testsupport::readPixel(x, y);
    return { pixel[0], pixel[1], pixel[2] };
}

TEST(LoadingScreenGLTest, TheBarFillsWithProgressAndGlStateIsKept)
{
    REQUIRE_DEMO_CONTEXT(width, height);
    GLuint target = 0;
    glGenFramebuffers(1, &target);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glViewport(3, 4, 5, 6);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);

    Tarvo::LoadAccount& account = gDemo->getLoading().account();
    account.begin(4);
    {
        Tarvo::LoadingScreen screen(width, height, account);
        EXPECT_EQ(screen.framesShown(), 1) << "drawn as soon as it exists";
        screen.draw(0.25);
        EXPECT_EQ(screen.framesShown(), 2);
        screen.paint(0.5);
    }
    // The bar spans the middle third; half of it is filled.
    const int barY = height / 2 - height / 10 + 1;
    const auto left = windowPixel(width / 3 + 10, barY);
    const auto right = windowPixel(2 * width / 3 - 10, barY);
    EXPECT_GT(left[0], 150) << "the filled half is bright";
    EXPECT_LT(right[0], 60) << "the rest is the dark trough";
    EXPECT_EQ(windowPixel(5, 5), (std::array<int, 3> { 0, 0, 0 })) << "black around it";

    GLint bound = 0, viewport[4] = {};
    GLfloat clear[4] = {};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(static_cast<GLuint>(bound), target);
    EXPECT_EQ(viewport[0], 3);
    EXPECT_EQ(viewport[3], 6);
    EXPECT_FLOAT_EQ(clear[2], 0.75f);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &target);
}

TEST(LoadingScreenGLTest, LoadersRedrawItOnlyAsProgressMoves)
{
    REQUIRE_DEMO_CONTEXT(width, height);
    Tarvo::LoadAccount& account = gDemo->getLoading().account();
    account.begin(100);
    Tarvo::LoadingScreen screen(width, height, account);
    for (int i = 0; i < 50; ++i)
        Tarvo::LoadStep step(Tarvo::LoadPhase::Shaders);
    // Fifty quick steps within the redraw interval: no frame per step.
    EXPECT_LT(screen.framesShown(), 5);
}

} // namespace
