// Context fixture, model program and read-back helpers for the mesh GL tests.
#include "MeshGLTestUtil.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include <stb_image_write.h>

#include "engine/ShaderProgram.h"
#include "support/CapturedOutput.h"
#include "support/GLTestContext.h"

namespace meshtest {

namespace {

// Every input takes part in the output so that no uniform or attribute is optimised
// away; the tiny factor keeps the colour white after clamping.
const char* const kVertexShader = R"(#version 330 core
in vec3 vertexPos;
in vec2 vertexUV;
in vec3 vertexnormal;
uniform mat4 MVP;
uniform mat4 M;
uniform mat4 V;
uniform mat4 oldMVP;
out vec2 uv;
out vec4 extra;
void main()
{
    gl_Position = MVP * vec4(vertexPos, 1.0);
    uv = vertexUV;
    extra = V * M * vec4(vertexnormal, 0.0) + oldMVP * vec4(vertexPos, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec2 uv;
in vec4 extra;
uniform sampler2D myTextureSampler;
out vec4 color;
void main()
{
    vec4 touched = texture(myTextureSampler, uv) + extra;
    color = clamp(vec4(1.0) + 1e-20 * abs(touched), 0.0, 1.0);
}
)";

} // namespace

void MeshGLTest::SetUp()
{
    ASSERT_TRUE(testsupport::GLTestContext::ensure(kWindowSize, kWindowSize))
        << "no OpenGL 3.3 context (run under xvfb-run)";
}

GLuint MeshGLTest::modelProgram()
{
    const std::string vertex = scratch.write("model.vert", kVertexShader);
    const std::string fragment = scratch.write("model.frag", kFragmentShader);
    testsupport::CapturedOutput captured;
    const GLuint program = loadShaderProgram(vertex.c_str(), fragment.c_str());
    const std::string log = captured.take();
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << log;
    return program;
}

void MeshGLTest::clearWindow()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, kWindowSize, kWindowSize);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::string writePng(const testsupport::ScratchDir& scratch, const std::string& name, int width, int height)
{
    const std::string path = scratch.write(name, "");
    const std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3, 128);
    stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3);
    return path;
}

glm::ivec2 textureSize(GLuint texture)
{
    glm::ivec2 size(0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size.x);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size.y);
    return size;
}

glm::mat4 uniformMatrix(GLuint program, const char* name)
{
    glm::mat4 value(0.0f);
    const GLint location = glGetUniformLocation(program, name);
    if (location >= 0)
        glGetUniformfv(program, location, &value[0][0]);
    else
        ADD_FAILURE() << "the program has no active uniform " << name;
    return value;
}

bool isWhite(int x, int y)
{
    glFinish();
    const auto pixel = testsupport::readPixel(x, y);
    return pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255;
}

testing::AssertionResult matricesNear(const glm::mat4& actual, const glm::mat4& expected)
{
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            const float tolerance = 1e-5f * (1.0f + std::fabs(expected[c][r]));
            if (std::fabs(actual[c][r] - expected[c][r]) > tolerance)
                return testing::AssertionFailure()
                       << "column " << c << " row " << r << ": " << actual[c][r]
                       << ", expected " << expected[c][r];
        }
    }
    return testing::AssertionSuccess();
}

} // namespace meshtest
