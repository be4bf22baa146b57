// A GL 3.3 core context in an invisible window for tests that draw, with the fixed GL
// state and the vertex array object the show sets up, and the engine told the window's
// size. Under Xvfb, Mesa's llvmpipe renders; without any display the context is drawn
// off-screen through EGL where the system has it. Tests that need the demo instance itself
// (gDemo: its row, its tracks) use DemoTestContext instead.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <vector>

namespace testsupport {

class GLTestContext {
public:
    // Opens the window with this size on the first call in a process; later calls reuse
    // it. Returns false when no context can be had.
    static bool ensure(int width = 64, int height = 64);
};

// Ends the GL context when the process exits, after a sanitizer build's leak check, so the
// check still sees the driver's libraries by name. Called once a context is current.
void closeGlAtExit();

// RGBA8 pixels of the currently bound read framebuffer, bottom row first.
std::vector<std::uint8_t> readPixels(int x, int y, int width, int height);
// One RGBA pixel of the currently bound read framebuffer.
std::vector<std::uint8_t> readPixel(int x, int y);
// Pixels of a texture's level 0 as floats (RGBA).
std::vector<float> readTexture(GLuint texture, int width, int height);

} // namespace testsupport

// Fails the test, and returns from it, when the context could not be had.
#define REQUIRE_CONTEXT(opened)                                                       \
    do {                                                                               \
        if (!(opened))                                                                 \
            GTEST_FAIL() << "no OpenGL 3.3 context (run under xvfb-run)";              \
    } while (0)

#define REQUIRE_GL_CONTEXT(w, h) REQUIRE_CONTEXT(testsupport::GLTestContext::ensure((w), (h)))
