// Render targets and the bound-target stack. Binding and releasing always set the viewport
// and clear, so a pass nested inside another returns to a clean parent target.
#include "engine/Fbo.h"

#include <algorithm>
#include <cstdio>

#include "engine/GlState.h"
#include "engine/WindowSize.h"

namespace Tarvo {

std::vector<Fbo*> fboStack;

namespace {

// WebGL takes sized depth formats only; desktop GL keeps the driver's own choice.
#ifdef __EMSCRIPTEN__
constexpr GLenum depthFormat = GL_DEPTH_COMPONENT24;
#else
constexpr GLenum depthFormat = GL_DEPTH_COMPONENT;
#endif

// The window's viewport as it was when the first target went on the stack; used when
// nobody has recorded the window size (tools that draw off-screen only).
GLint windowViewport[4] = { 0, 0, 0, 0 };
bool windowViewportKnown = false;

// "The window" is whatever stands for it: the window itself, or the frame-sized target
// that is scaled into it when shown.
void makeWindowCurrent()
{
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());
    if (windowSizeKnown())
        glViewport(0, 0, windowWidth(), windowHeight());
    else if (windowViewportKnown)
        glViewport(windowViewport[0], windowViewport[1], windowViewport[2], windowViewport[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void makeCurrent(GLuint framebuffer, int width, int height)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace

Fbo::Fbo(int width, int height, int filter, unsigned count, GLint internalFormat)
    : width(width), height(height), textures(count, 0), texIds(count, -1), count(count)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);

    for (unsigned i = 0; i < count; ++i) {
        glGenTextures(1, &textures[i]);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, GL_RGBA, GL_FLOAT,
            nullptr);
        setEdgeSampling(filter == 0 ? GL_NEAREST : filter == 1 ? GL_LINEAR : 0);
    }

    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);

    attachTextures();

    // The constructor leaves the window bound; it does not touch the stack or the viewport.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

Fbo::~Fbo()
{
    // Destroying a bound target is a caller error; dropping it from the stack keeps later
    // releases from reaching a destroyed object.
    auto bound = std::find(fboStack.begin(), fboStack.end(), this);
    if (bound != fboStack.end()) {
        std::fprintf(stderr, "Fbo destroyed while bound; removed from the bound-target stack\n");
        fboStack.erase(std::remove(fboStack.begin(), fboStack.end(), this), fboStack.end());
    }
    glDeleteFramebuffers(1, &framebuffer);
    if (count > 0)
        glDeleteTextures(static_cast<GLsizei>(count), textures.data());
    glDeleteRenderbuffers(1, &depthBuffer);
}

void Fbo::attachTextures()
{
    drawBuffers.assign(count, GL_NONE);
    for (unsigned i = 0; i < count; ++i) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D,
            textures[i], 0);
        drawBuffers[i] = GL_COLOR_ATTACHMENT0 + i;
        std::printf("%u:: %u\n", i, static_cast<unsigned>(drawBuffers[i]));
    }
    std::fflush(stdout);
    glDrawBuffers(static_cast<GLsizei>(count), drawBuffers.data());
}

void Fbo::bind()
{
    if (fboStack.empty()) {
        glGetIntegerv(GL_VIEWPORT, windowViewport);
        windowViewportKnown = true;
    }
    makeCurrent(framebuffer, width, height);
    fboStack.push_back(this);
}

void Fbo::unbind()
{
    if (fboStack.empty()) {
        std::fprintf(stderr, "Fbo::unbind with no framebuffer bound; nothing to release\n");
        return;
    }
    fboStack.pop_back();
    if (fboStack.empty()) {
        makeWindowCurrent();
        return;
    }
    const Fbo* top = fboStack.back();
    makeCurrent(top->framebuffer, top->width, top->height);
}

GLuint Fbo::getTexture(unsigned i) const
{
    if (i >= count) {
        std::fprintf(stderr, "Fbo::getTexture(%u): only %u colour textures\n", i, count);
        return 0;
    }
    return textures[i];
}

void Fbo::setTexId(unsigned i, GLint location)
{
    if (i >= count) {
        std::fprintf(stderr, "Fbo::setTexId(%u): only %u colour textures\n", i, count);
        return;
    }
    texIds[i] = location;
}

GLint Fbo::getTexId(unsigned i) const
{
    if (i >= count) {
        std::fprintf(stderr, "Fbo::getTexId(%u): only %u colour textures\n", i, count);
        return -1;
    }
    return texIds[i];
}

} // namespace Tarvo
