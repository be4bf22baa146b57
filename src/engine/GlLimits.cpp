// The side limits first, then a proxy texture of the scenes' format: a driver may refuse a
// picture within the sides by its bytes (llvmpipe caps a single texture's), and a proxy
// asks without allocating anything.
#include "engine/GlLimits.h"

#include <GL/glew.h>

#include <algorithm>

namespace Tarvo {

std::string sizeBeyondGlLimits(int width, int height)
{
    GLint maxTexture = 0;
    GLint maxRenderbuffer = 0;
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    const int limitW = std::min({maxTexture, maxRenderbuffer, static_cast<int>(maxViewport[0])});
    const int limitH = std::min({maxTexture, maxRenderbuffer, static_cast<int>(maxViewport[1])});
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width > limitW || height > limitH)
        return size + " is larger than this OpenGL allows: " + std::to_string(limitW) + "x" +
               std::to_string(limitH) + " (texture " + std::to_string(maxTexture) + ", renderbuffer " +
               std::to_string(maxRenderbuffer) + ", viewport " + std::to_string(maxViewport[0]) + "x" +
               std::to_string(maxViewport[1]) + ")";

    while (glGetError() != GL_NO_ERROR) {
    }
#ifdef __EMSCRIPTEN__
    // WebGL has no proxy textures: a real one of that size is made and given back.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint probe = 0;
    glGenTextures(1, &probe);
    glBindTexture(GL_TEXTURE_2D, probe);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_HALF_FLOAT, nullptr);
    const bool fits = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glDeleteTextures(1, &probe);
    if (!fits)
#else
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_HALF_FLOAT, nullptr);
    GLint proxyWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
    if (glGetError() != GL_NO_ERROR || proxyWidth != width)
#endif
        return size + " is larger than this OpenGL allows: it cannot hold a 16-bit float RGBA texture of that "
                      "size, which every scene's framebuffers need";
    return {};
}

} // namespace Tarvo
