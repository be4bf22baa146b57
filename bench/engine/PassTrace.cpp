// GLEW calls GL through pointers it fills in at start-up; swapping two of them lets the
// benchmark see the engine's binds and program changes as they reach the driver, while
// the engine's own code stays exactly what the show runs.
#include "PassTrace.h"

#include <algorithm>
#include <cstdio>

namespace framebench {

namespace {

// GL entry points carry no user data, so the installed trace is found through here. Only
// one trace can be installed at a time.
PassTrace* installed = nullptr;

int countDrawBuffers(GLuint framebuffer)
{
    if (framebuffer == 0)
        return 1;
    GLint most = 0;
    glGetIntegerv(GL_MAX_DRAW_BUFFERS, &most);
    int count = 0;
    for (GLint i = 0; i < most; ++i) {
        GLint buffer = GL_NONE;
        glGetIntegerv(GL_DRAW_BUFFER0 + i, &buffer);
        if (buffer != GL_NONE)
            ++count;
    }
    return count;
}

GLuint firstColourTexture(GLuint framebuffer)
{
    if (framebuffer == 0)
        return 0;
    GLint type = GL_NONE;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type != GL_TEXTURE)
        return 0;
    GLint name = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    return static_cast<GLuint>(name);
}

int fragmentOutputs(GLuint program)
{
    GLint count = 1;
    if (program != 0 && glGetProgramInterfaceiv)
        glGetProgramInterfaceiv(program, GL_PROGRAM_OUTPUT, GL_ACTIVE_RESOURCES, &count);
    return std::max(1, static_cast<int>(count));
}

} // namespace

PassTrace::PassTrace() : realBind(__glewBindFramebuffer), realUse(__glewUseProgram)
{
    if (installed) {
        std::fprintf(stderr, "PassTrace: another trace is installed already\n");
        return;
    }
    installed = this;
    __glewBindFramebuffer = &PassTrace::bindFramebuffer;
    __glewUseProgram = &PassTrace::useProgram;
}

PassTrace::~PassTrace()
{
    if (installed != this)
        return;
    __glewBindFramebuffer = realBind;
    __glewUseProgram = realUse;
    installed = nullptr;
}

void PassTrace::begin(bool timedPasses)
{
    recorded.clear();
    recording = true;
    timed = timedPasses;
    if (timed)
        clock.lap();
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    startPass(static_cast<GLuint>(bound));
}

void PassTrace::end()
{
    if (!recording)
        return;
    closePass();
    recording = false;
}

int PassTrace::drawingPasses(const std::vector<Pass>& passes)
{
    return static_cast<int>(std::count_if(passes.begin(), passes.end(),
        [](const Pass& pass) { return pass.draws(); }));
}

void GLAPIENTRY PassTrace::bindFramebuffer(GLenum target, GLuint framebuffer)
{
    // Installed only while a trace lives, so there is always one here.
    PassTrace* trace = installed;
    const bool newPass = trace->recording && (target == GL_FRAMEBUFFER || target == GL_DRAW_FRAMEBUFFER);
    if (newPass)
        trace->closePass();
    trace->realBind(target, framebuffer);
    if (newPass)
        trace->startPass(framebuffer);
}

void GLAPIENTRY PassTrace::useProgram(GLuint program)
{
    PassTrace* trace = installed;
    trace->realUse(program);
    if (trace->recording)
        trace->noteProgram(program);
}

void PassTrace::startPass(GLuint framebuffer)
{
    Pass pass;
    pass.framebuffer = framebuffer;
    pass.drawBuffers = countDrawBuffers(framebuffer);
    pass.texture = firstColourTexture(framebuffer);
    recorded.push_back(pass);
}

void PassTrace::closePass()
{
    Pass& pass = recorded.back();
    GLint viewport[4] = { 0, 0, 0, 0 };
    glGetIntegerv(GL_VIEWPORT, viewport);
    pass.width = viewport[2];
    pass.height = viewport[3];
    if (timed)
        pass.time = clock.lap();
}

void PassTrace::noteProgram(GLuint program)
{
    Pass& pass = recorded.back();
    if (program == 0)
        return;
    pass.programs.push_back(program);
    pass.outputs = std::max(pass.outputs, std::min(pass.drawBuffers, fragmentOutputs(program)));
}

} // namespace framebench
