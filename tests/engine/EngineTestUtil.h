// Shared pieces of the engine tests: a fixture with a GL context that runs from the
// repository root and a scratch folder, PNG files for it, and small texture helpers.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/ScratchDir.h"

namespace enginetest {

// Window size of the demo instance every engine GL test runs with; not square, so a
// viewport taken from the wrong axis shows.
constexpr int windowWidth = 64;
constexpr int windowHeight = 48;

// Writes an 8-bit PNG with the given channel count into the folder and returns its full
// path; pixels are rows top first.
std::string writePng(const testsupport::ScratchDir& scratch, const std::string& name, int width,
    int height, int channels, const std::vector<std::uint8_t>& pixels);

// Every engine GL test: a context with gDemo at windowWidth x windowHeight, the working
// directory at the repository root, the fixed GL state as the demo instance sets it, an
// empty bound-target stack and the window bound.
class EngineGLTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    testsupport::ScratchDir scratch;
};

// Fills the currently bound target with one colour, leaving the clear colour at the fixed
// state's (0, 0, 0, 0).
void fillCurrent(float r, float g, float b, float a);

// A 1 x 1 RGBA float texture of one colour; the caller deletes it.
GLuint makeColourTexture(float r, float g, float b, float a);

// Level-0 RGBA float pixels of a texture.
std::vector<float> texturePixels(GLuint texture, int width, int height);
std::array<float, 4> texel(const std::vector<float>& pixels, int width, int x, int y);

GLint currentFramebuffer();
std::array<GLint, 4> currentViewport();
GLint currentProgram();
GLint textureOnUnit(unsigned unit, GLenum target = GL_TEXTURE_BINDING_2D);

} // namespace enginetest
