// A GL 3.3 core context in an invisible window, with the demo instance that engine code
// reaches through gDemo, for tests that draw. Under Xvfb, Mesa's llvmpipe renders.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <vector>

namespace testsupport {

class GLTestContext {
public:
    // Creates gDemo (no music) with this window size on the first call in a process;
    // later calls reuse it. Returns false when no context can be had.
    static bool ensure(int width = 64, int height = 64);
    // Gives the demo instance a fresh store for "./data/science/sync" under the current
    // folder, so a case that writes its own tracks is not served those an earlier case of
    // the same process loaded. Does nothing before the first ensure.
    static void reloadTracks();
};

// RGBA8 pixels of the currently bound read framebuffer, bottom row first.
std::vector<std::uint8_t> readPixels(int x, int y, int width, int height);
// One RGBA pixel of the currently bound read framebuffer.
std::vector<std::uint8_t> readPixel(int x, int y);
// Pixels of a texture's level 0 as floats (RGBA).
std::vector<float> readTexture(GLuint texture, int width, int height);

} // namespace testsupport

#define REQUIRE_GL_CONTEXT(w, h)                                                      \
    do {                                                                               \
        if (!testsupport::GLTestContext::ensure((w), (h)))                             \
            GTEST_FAIL() << "no OpenGL 3.3 context (run under xvfb-run)";              \
    } while (0)
