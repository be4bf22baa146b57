// PNG files and small GL helpers for the engine tests.
#include "EngineTestUtil.h"

#include <stb_image_write.h>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "engine/Fbo.h"
#include "engine/GlState.h"
#include "support/GLTestContext.h"

namespace enginetest {

std::string writePng(const testsupport::ScratchDir& scratch, const std::string& name, int width,
    int height, int channels, const std::vector<std::uint8_t>& pixels)
{
    const auto file = scratch.path() / name;
    std::filesystem::create_directories(file.parent_path());
    if (!stbi_write_png(file.string().c_str(), width, height, channels, pixels.data(),
            width * channels))
        throw std::runtime_error("cannot write " + file.string());
    return file.string();
}

void EngineGLTest::SetUp()
{
    REQUIRE_GL_CONTEXT(windowWidth, windowHeight);
    ASSERT_EQ(chdir(VANTOR_SOURCE_DIR), 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    Tarvo::setFixedGlState();
    glUseProgram(0);
    Tarvo::fboStack.clear();
}

void EngineGLTest::TearDown()
{
    if (chdir(VANTOR_SOURCE_DIR) != 0)
        ADD_FAILURE() << "cannot return to the repository root";
    Tarvo::fboStack.clear();
}

void fillCurrent(float r, float g, float b, float a)
{
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

GLuint makeColourTexture(float r, float g, float b, float a)
{
    const float pixel[4] = { r, g, b, a };
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, 1, 1, 0, GL_RGBA, GL_FLOAT, pixel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

std::vector<float> texturePixels(GLuint texture, int width, int height)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return testsupport::readTexture(texture, width, height);
}

std::array<float, 4> texel(const std::vector<float>& pixels, int width, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
    return { pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3] };
}

GLint currentFramebuffer()
{
    GLint name = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &name);
    return name;
}

std::array<GLint, 4> currentViewport()
{
    std::array<GLint, 4> viewport {};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

GLint currentProgram()
{
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

GLint textureOnUnit(unsigned unit, GLenum target)
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint name = -1;
    glGetIntegerv(target, &name);
    glActiveTexture(static_cast<GLenum>(active));
    return name;
}

} // namespace enginetest
