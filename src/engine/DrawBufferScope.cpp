#include "engine/DrawBufferScope.h"

#include "engine/Fbo.h"
#include "engine/ShaderProgram.h"

namespace Tarvo {

namespace {
constexpr unsigned maxAttachments = 8;
} // namespace

unsigned drawBuffersFor(unsigned outputMask, unsigned count, GLenum* buffers, unsigned maxDrawBuffers)
{
    const unsigned n = count < maxDrawBuffers ? count : maxDrawBuffers;
    for (unsigned i = 0; i < n; ++i)
        buffers[i] = (i < 32 && (outputMask >> i) & 1u) ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
    return n;
}

DrawBufferScope::DrawBufferScope()
{
#ifdef __EMSCRIPTEN__
    if (fboStack.empty())
        return;
    const unsigned count = fboStack.back()->getTextureCount();
    if (count <= 1 || count > maxAttachments)
        return;
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    const unsigned outputs = programOutputMask(static_cast<GLuint>(program));
    const unsigned all = (1u << count) - 1u;
    if ((outputs & all) == all)
        return;
    GLenum buffers[maxAttachments];
    glDrawBuffers(static_cast<GLsizei>(drawBuffersFor(outputs, count, buffers, maxAttachments)), buffers);
    restoreCount = count;
#endif
}

DrawBufferScope::~DrawBufferScope()
{
    if (restoreCount == 0)
        return;
    // Binding clears every attachment, so the target gets all of them back.
    GLenum buffers[maxAttachments];
    glDrawBuffers(static_cast<GLsizei>(drawBuffersFor(~0u, restoreCount, buffers, maxAttachments)), buffers);
}

} // namespace Tarvo
