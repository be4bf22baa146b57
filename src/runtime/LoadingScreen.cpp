#include "runtime/LoadingScreen.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/WindowSize.h"
#include "runtime/Window.h"

namespace Tarvo {

namespace {

// Redrawing costs a buffer swap, which may wait for the display: a few a second are
// enough to show movement.
constexpr auto redrawInterval = std::chrono::milliseconds(100);

struct Rgb {
    float r, g, b;
};
constexpr Rgb background { 0.0f, 0.0f, 0.0f };
constexpr Rgb trough { 0.10f, 0.09f, 0.08f };
constexpr Rgb filled { 0.85f, 0.52f, 0.22f }; // the dusk of the show's sky

void clearRect(int x, int y, int w, int h, Rgb colour)
{
    glScissor(x, y, std::max(w, 0), std::max(h, 0));
    glClearColor(colour.r, colour.g, colour.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

LoadingScreen::LoadingScreen(int width, int height, LoadAccount& account)
    : account(account), width(width), height(height)
{
    draw(0.0);
    account.setListener([this](const LoadProgress& progress) { onProgress(progress); });
}

LoadingScreen::~LoadingScreen()
{
    account.setListener(nullptr);
}

void LoadingScreen::onProgress(const LoadProgress& progress)
{
    const auto now = std::chrono::steady_clock::now();
    const double fraction = progress.fraction();
    if (now - lastDraw < redrawInterval || fraction <= lastFraction)
        return;
    draw(fraction);
}

void LoadingScreen::draw(double fraction)
{
    paint(fraction);
    swapBuffers();
    lastFraction = fraction;
    lastDraw = std::chrono::steady_clock::now();
    ++shown;
}

void LoadingScreen::paint(double fraction)
{
    GLint framebuffer = 0;
    GLint viewport[4] = {};
    GLfloat clearColour[4] = {};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);

    // The window, or the frame-sized target that is scaled into it when shown.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, windowFramebuffer());
    glViewport(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(background.r, background.g, background.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // A thin bar across the middle third of the picture, a little below its centre.
    glEnable(GL_SCISSOR_TEST);
    const int barWidth = width / 3;
    const int barHeight = std::max(2, height / 120);
    const int x = (width - barWidth) / 2;
    const int y = height / 2 - height / 10;
    clearRect(x, y, barWidth, barHeight, trough);
    clearRect(x, y, static_cast<int>(barWidth * std::clamp(fraction, 0.0, 1.0)), barHeight, filled);

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    if (!scissor)
        glDisable(GL_SCISSOR_TEST);
}

} // namespace Tarvo
