// GLEW calls GL through pointers it fills in at start-up; swapping two of them lets the
// timer see where the engine's passes begin without the engine knowing it is timed.
#include "capture/GpuTimer.h"

#include "engine/ShaderProgram.h"

namespace capture {

namespace {
// GL entry points carry no user data; the timer timing a frame is found through here.
GpuTimer* timing = nullptr;
} // namespace

GpuTimer::GpuTimer()
{
    glGetQueryiv(GL_TIMESTAMP, GL_QUERY_COUNTER_BITS, &counterBits);
    while (glGetError() != GL_NO_ERROR) {
    }
}

GpuTimer::~GpuTimer()
{
    if (!queries.empty())
        glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data());
}

void GpuTimer::stamp()
{
    if (used == queries.size()) {
        GLuint query = 0;
        glGenQueries(1, &query);
        queries.push_back(query);
    }
    glQueryCounter(queries[used++], GL_TIMESTAMP);
}

void GpuTimer::beginFrame()
{
    if (!available() || timing)
        return;
    used = 0;
    passes.assign(1, GpuPass{"clear", 0.0});
    stamp();
    timing = this;
    realBind = __glewBindFramebuffer;
    realUse = __glewUseProgram;
    __glewBindFramebuffer = &GpuTimer::bindFramebuffer;
    __glewUseProgram = &GpuTimer::useProgram;
}

void GpuTimer::endFrame()
{
    if (timing != this)
        return;
    __glewBindFramebuffer = realBind;
    __glewUseProgram = realUse;
    timing = nullptr;
    stamp();
}

void GLAPIENTRY GpuTimer::bindFramebuffer(GLenum target, GLuint framebuffer)
{
    // Binds for reading only (read-backs) start no pass.
    if (target != GL_READ_FRAMEBUFFER) {
        timing->stamp();
        timing->passes.push_back(GpuPass{"clear", 0.0});
    }
    timing->realBind(target, framebuffer);
}

void GLAPIENTRY GpuTimer::useProgram(GLuint program)
{
    GpuPass& pass = timing->passes.back();
    if (pass.name == "clear" && program != 0) {
        const std::string stem = shaderStem(Tarvo::fragmentPathOf(program));
        pass.name = stem.empty() ? "program" : stem;
    }
    timing->realUse(program);
}

GpuFrame GpuTimer::collect()
{
    GpuFrame frame;
    if (!available() || used < 2)
        return frame;
    std::vector<GLuint64> ns(used);
    for (size_t i = 0; i < used; ++i)
        glGetQueryObjectui64v(queries[i], GL_QUERY_RESULT, &ns[i]);
    const auto ms = [&](size_t from, size_t to) {
        return ns[to] > ns[from] ? static_cast<double>(ns[to] - ns[from]) / 1.0e6 : 0.0;
    };
    frame.ms = ms(0, used - 1);
    for (size_t i = 0; i + 1 < used && i < passes.size(); ++i)
        frame.passes.push_back(GpuPass{passes[i].name, ms(i, i + 1)});
    return frame;
}

} // namespace capture
