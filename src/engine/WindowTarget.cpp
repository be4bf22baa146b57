// The window target: a frame-sized stand-in while the window's framebuffer differs from
// the frame, and the scaled copy into the framebuffer when a frame is shown.
#include "engine/WindowTarget.h"

#include <cstdio>
#include <string>

#include "engine/GlState.h"
#include "engine/ShaderProgram.h"

namespace Tarvo {

namespace {

// Built in, not read from data/: the picture must reach the screen even while the data is
// still loading or broken.
constexpr const char* scaleVertexSource = R"(#version 330 core
// The frame's rectangle as a strip of four corners from the vertex index; no inputs.
out vec2 uv;
void main()
{
    uv = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    gl_Position = vec4(uv * 2.0 - 1.0, 0.0, 1.0);
}
)";

constexpr const char* scaleFragmentSource = R"(#version 330 core
// Input: the frame ("frame", linear filtering). Output: it, opaque.
uniform sampler2D frame;
in vec2 uv;
out vec4 colour;
void main()
{
    colour = vec4(texture(frame, uv).rgb, 1.0);
}
)";

} // namespace

PixelRect fitFrame(int frameWidth, int frameHeight, int areaWidth, int areaHeight)
{
    if (frameWidth < 1 || frameHeight < 1 || areaWidth < 1 || areaHeight < 1)
        return {};
    // Cross-multiplied so that equal shapes compare exactly; 64-bit because 16k x 16k
    // products overflow an int.
    const long long fw = frameWidth, fh = frameHeight, aw = areaWidth, ah = areaHeight;
    PixelRect rect;
    if (aw * fh <= ah * fw) {
        // The area is narrower than the frame: full width, bars above and below.
        rect.width = areaWidth;
        rect.height = static_cast<int>((aw * fh * 2 + fw) / (fw * 2));
    } else {
        rect.height = areaHeight;
        rect.width = static_cast<int>((ah * fw * 2 + fh) / (fh * 2));
    }
    rect.x = (areaWidth - rect.width) / 2;
    rect.y = (areaHeight - rect.height) / 2;
    return rect;
}

WindowTarget::WindowTarget(int frameWidth, int frameHeight)
    : width(frameWidth), height(frameHeight), areaWidth(frameWidth), areaHeight(frameHeight)
{
}

void WindowTarget::follow(int framebufferWidth, int framebufferHeight)
{
    areaWidth = framebufferWidth;
    areaHeight = framebufferHeight;
    const bool same = framebufferWidth == width && framebufferHeight == height;
    if (same)
        dropStandIn();
    else if (!scaling())
        makeStandIn();
}

void WindowTarget::makeStandIn()
{
    GLint previous = 0, previousRenderbuffer = 0, previousTexture = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &previousRenderbuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);

    // The window's own formats: 8-bit colour, and the depth the passes that draw to the
    // window test against.
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    setEdgeSampling(GL_LINEAR);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &standIn);
    glBindFramebuffer(GL_FRAMEBUFFER, standIn);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(previousRenderbuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    if (status != GL_FRAMEBUFFER_COMPLETE || !makeProgram()) {
        // Drawing straight into the window still shows part of the frame, which beats
        // showing nothing.
        std::fprintf(stderr, "The %dx%d frame cannot be scaled to the window (framebuffer status 0x%x)\n",
            width, height, status);
        dropStandIn();
    }
}

bool WindowTarget::makeProgram()
{
    if (program != 0)
        return true;
    program = buildBuiltInProgram(scaleVertexSource, scaleFragmentSource, "The frame scaling shader");
    if (program == 0)
        return false;
    GLint previousProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "frame"), 0);
    glUseProgram(static_cast<GLuint>(previousProgram));
    glGenVertexArrays(1, &vertexArray);
    return true;
}

void WindowTarget::dropStandIn()
{
    if (standIn == 0 && colour == 0 && depth == 0)
        return;
    glDeleteFramebuffers(1, &standIn);
    glDeleteTextures(1, &colour);
    glDeleteRenderbuffers(1, &depth);
    standIn = colour = depth = 0;
}

WindowTarget::~WindowTarget()
{
    dropStandIn();
    if (program != 0) {
        glDeleteProgram(program);
        glDeleteVertexArrays(1, &vertexArray);
    }
}

void WindowTarget::present(GLuint destination)
{
    if (!scaling())
        return;
    GLint drawBinding = 0, readBinding = 0, previousProgram = 0, previousArray = 0, activeUnit = 0, texture = 0;
    GLint viewport[4] = {};
    GLfloat clearColour[4] = {};
    GLboolean colourMask[4] = {};
    GLboolean depthMask = GL_TRUE;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previousArray);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    const GLboolean blend = glIsEnabled(GL_BLEND);
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean cull = glIsEnabled(GL_CULL_FACE);

    glBindFramebuffer(GL_FRAMEBUFFER, destination);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glViewport(0, 0, areaWidth, areaHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const PixelRect to = placement();
    glViewport(to.x, to.y, to.width, to.height);
    glUseProgram(program);
    glBindVertexArray(vertexArray);
    glBindTexture(GL_TEXTURE_2D, colour);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glActiveTexture(static_cast<GLenum>(activeUnit));
    glBindVertexArray(static_cast<GLuint>(previousArray));
    glUseProgram(static_cast<GLuint>(previousProgram));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
    glDepthMask(depthMask);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    if (blend)
        glEnable(GL_BLEND);
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
    if (cull)
        glEnable(GL_CULL_FACE);
}

} // namespace Tarvo
