#include "support/GLTestContext.h"

#include <cstdio>

#include "runtime/Demo.h"

namespace testsupport {

bool GLTestContext::ensure(int width, int height)
{
    if (gDemo)
        return true;
    Tarvo::DemoOptions options;
    options.windowed = true;
    options.visible = false;
    options.musicPath.clear();
    try {
        gDemo = new Tarvo::aDemo(width, height, options);
    } catch (const Tarvo::StartupError& error) {
        std::fprintf(stderr, "GL test context: %s\n", error.what());
        return false;
    }
    return true;
}

void GLTestContext::reloadTracks()
{
    if (gDemo)
        gDemo->openTracks(Tarvo::DemoOptions().syncBasePath);
}

std::vector<std::uint8_t> readPixels(int x, int y, int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<std::uint8_t> readPixel(int x, int y)
{
    return readPixels(x, y, 1, 1);
}

std::vector<float> readTexture(GLuint texture, int width, int height)
{
    std::vector<float> pixels(static_cast<size_t>(width) * height * 4);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return pixels;
}

} // namespace testsupport
