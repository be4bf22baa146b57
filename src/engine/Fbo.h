// Off-screen render targets (float colour textures and a depth buffer) and the one
// process-wide stack through which every target is bound and released.
#pragma once

#include <GL/glew.h>

#include <vector>

namespace Tarvo {

class Fbo;

// The bound targets, innermost last; empty means the window is bound. The stack does not
// own the targets.
extern std::vector<Fbo*> fboStack;

class Fbo {
public:
    // filter 0 gives nearest sampling, 1 linear; any other value leaves the texture filters
    // at GL's defaults. Logs one line per colour attachment ("0:: 36064").
    Fbo(int width, int height, int filter, unsigned count, GLint internalFormat);
    ~Fbo();
    Fbo(const Fbo&) = delete;
    Fbo& operator=(const Fbo&) = delete;

    virtual void attachTextures();

    // Makes this target current, sets the viewport to its size, clears colour and depth and
    // pushes it on fboStack.
    void bind();
    // Releases the innermost bound target, whichever object it is called on, and makes the
    // one below (or the window) current, with its viewport set and cleared. This is the
    // stack's contract, not a check: a.unbind() after b.bind() releases b, so each pass
    // pairs its bind with an unbind before the pass around it goes on. Releasing with
    // nothing bound is reported and changes nothing.
    void unbind();

    GLuint getTexture(unsigned i) const;
    unsigned getTextureCount() const { return count; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    GLuint getFramebuffer() const { return framebuffer; }

    // The sampler location a post-processing program binds texture i to; -1 until set.
    void setTexId(unsigned i, GLint location);
    GLint getTexId(unsigned i) const;

private:
    int width;
    int height;
    GLuint framebuffer = 0;
    std::vector<GLuint> textures;
    std::vector<GLint> texIds;
    GLuint depthBuffer = 0;
    std::vector<GLenum> drawBuffers;
    unsigned count;
};

} // namespace Tarvo
