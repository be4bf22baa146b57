// Shared pieces of the mesh GL tests: a context fixture, a model program that declares
// every name a model shader may use (through the engine's loader, as scenes load them),
// and read-back of uniforms and pixels.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

#include <glm/glm.hpp>

#include "MeshTestFiles.h"
#include "support/ScratchDir.h"

namespace meshtest {

constexpr int kWindowSize = 64;

class MeshGLTest : public testing::Test {
protected:
    void SetUp() override;

    // A program with the attributes "vertexPos", "vertexUV", "vertexnormal" and the
    // uniforms "MVP", "M", "V", "oldMVP" and "myTextureSampler", all active. It draws
    // opaque white.
    GLuint modelProgram();
    // Clears the window to black, ready for a draw to be read back.
    void clearWindow();

    testsupport::ScratchDir scratch;
};

// Writes a grey RGB PNG of the given size and returns its path.
std::string writePng(const testsupport::ScratchDir& scratch, const std::string& name, int width, int height);

// Width and height of a texture's level 0.
glm::ivec2 textureSize(GLuint texture);

// The current value of a mat4 uniform of a program.
glm::mat4 uniformMatrix(GLuint program, const char* name);

// True when the window pixel is white (as the model program draws).
bool isWhite(int x, int y);

// Compares two matrices to a small tolerance and says which entry differs.
testing::AssertionResult matricesNear(const glm::mat4& actual, const glm::mat4& expected);

} // namespace meshtest
