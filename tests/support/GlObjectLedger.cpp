#include "support/GlObjectLedger.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOR_GL_LEDGER 1
#endif
#endif

#if defined(VANTOR_GL_LEDGER)

#include <GL/glew.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace testsupport {

namespace {

enum class Kind { Texture, Buffer, Framebuffer, Renderbuffer, VertexArray, Shader, Program };

// Stands for one live GL object. Its address is kept only inverted, so once the ledger
// is the last to know of it, the leak checker finds nothing pointing to it.
struct LiveObject {
    Kind kind;
    GLuint name;
};

class Ledger {
public:
    static Ledger& get()
    {
        static Ledger* ledger = new Ledger; // lives past every static destructor
        return *ledger;
    }

    void created(Kind kind, GLsizei count, const GLuint* names)
    {
        for (GLsizei i = 0; i < count; ++i)
            created(kind, names[i]);
    }

    // Not inlined: its frame names the creation in every report.
    [[gnu::noinline]] void created(Kind kind, GLuint name)
    {
        if (name == 0)
            return;
        auto* object = static_cast<LiveObject*>(std::malloc(sizeof(LiveObject)));
        object->kind = kind;
        object->name = name;
        const std::lock_guard lock(mutex);
        auto& slot = live[{ kind, name }];
        if (slot)
            std::free(reveal(slot));
        slot = ~reinterpret_cast<std::uintptr_t>(object);
    }

    void deleted(Kind kind, GLsizei count, const GLuint* names)
    {
        for (GLsizei i = 0; names && i < count; ++i)
            deleted(kind, names[i]);
    }

    void deleted(Kind kind, GLuint name)
    {
        const std::lock_guard lock(mutex);
        const auto found = live.find({ kind, name });
        if (found == live.end())
            return;
        std::free(reveal(found->second));
        live.erase(found);
    }

private:
    static LiveObject* reveal(std::uintptr_t hidden) { return reinterpret_cast<LiveObject*>(~hidden); }

    std::mutex mutex;
    std::map<std::pair<Kind, GLuint>, std::uintptr_t> live; // guarded by mutex
};

bool installed = false;

// Textures are core GL 1.1 entry points that the program links directly: defined here,
// they take the place of the library's, which they call.
template <typename F>
F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// The rest go through the loader's function pointers, swapped by install().
PFNGLGENBUFFERSPROC realGenBuffers;
PFNGLDELETEBUFFERSPROC realDeleteBuffers;
PFNGLGENFRAMEBUFFERSPROC realGenFramebuffers;
PFNGLDELETEFRAMEBUFFERSPROC realDeleteFramebuffers;
PFNGLGENRENDERBUFFERSPROC realGenRenderbuffers;
PFNGLDELETERENDERBUFFERSPROC realDeleteRenderbuffers;
PFNGLGENVERTEXARRAYSPROC realGenVertexArrays;
PFNGLDELETEVERTEXARRAYSPROC realDeleteVertexArrays;
PFNGLCREATESHADERPROC realCreateShader;
PFNGLDELETESHADERPROC realDeleteShader;
PFNGLCREATEPROGRAMPROC realCreateProgram;
PFNGLDELETEPROGRAMPROC realDeleteProgram;

void GLAPIENTRY genBuffers(GLsizei n, GLuint* names)
{
    realGenBuffers(n, names);
    Ledger::get().created(Kind::Buffer, n, names);
}

void GLAPIENTRY deleteBuffers(GLsizei n, const GLuint* names)
{
    Ledger::get().deleted(Kind::Buffer, n, names);
    realDeleteBuffers(n, names);
}

void GLAPIENTRY genFramebuffers(GLsizei n, GLuint* names)
{
    realGenFramebuffers(n, names);
    Ledger::get().created(Kind::Framebuffer, n, names);
}

void GLAPIENTRY deleteFramebuffers(GLsizei n, const GLuint* names)
{
    Ledger::get().deleted(Kind::Framebuffer, n, names);
    realDeleteFramebuffers(n, names);
}

void GLAPIENTRY genRenderbuffers(GLsizei n, GLuint* names)
{
    realGenRenderbuffers(n, names);
    Ledger::get().created(Kind::Renderbuffer, n, names);
}

void GLAPIENTRY deleteRenderbuffers(GLsizei n, const GLuint* names)
{
    Ledger::get().deleted(Kind::Renderbuffer, n, names);
    realDeleteRenderbuffers(n, names);
}

void GLAPIENTRY genVertexArrays(GLsizei n, GLuint* names)
{
    realGenVertexArrays(n, names);
    Ledger::get().created(Kind::VertexArray, n, names);
}

void GLAPIENTRY deleteVertexArrays(GLsizei n, const GLuint* names)
{
    Ledger::get().deleted(Kind::VertexArray, n, names);
    realDeleteVertexArrays(n, names);
}

GLuint GLAPIENTRY createShader(GLenum type)
{
    const GLuint name = realCreateShader(type);
    Ledger::get().created(Kind::Shader, name);
    return name;
}

void GLAPIENTRY deleteShader(GLuint name)
{
    Ledger::get().deleted(Kind::Shader, name);
    realDeleteShader(name);
}

GLuint GLAPIENTRY createProgram()
{
    const GLuint name = realCreateProgram();
    Ledger::get().created(Kind::Program, name);
    return name;
}

void GLAPIENTRY deleteProgram(GLuint name)
{
    Ledger::get().deleted(Kind::Program, name);
    realDeleteProgram(name);
}

template <typename F>
void swap(F& pointer, F& real, F wrapper)
{
    if (pointer && pointer != wrapper) {
        real = pointer;
        pointer = wrapper;
    }
}

} // namespace

void GlObjectLedger::install()
{
    if (installed)
        return;
    installed = true;
    swap(__glewGenBuffers, realGenBuffers, &genBuffers);
    swap(__glewDeleteBuffers, realDeleteBuffers, &deleteBuffers);
    swap(__glewGenFramebuffers, realGenFramebuffers, &genFramebuffers);
    swap(__glewDeleteFramebuffers, realDeleteFramebuffers, &deleteFramebuffers);
    swap(__glewGenRenderbuffers, realGenRenderbuffers, &genRenderbuffers);
    swap(__glewDeleteRenderbuffers, realDeleteRenderbuffers, &deleteRenderbuffers);
    swap(__glewGenVertexArrays, realGenVertexArrays, &genVertexArrays);
    swap(__glewDeleteVertexArrays, realDeleteVertexArrays, &deleteVertexArrays);
    swap(__glewCreateShader, realCreateShader, &createShader);
    swap(__glewDeleteShader, realDeleteShader, &deleteShader);
    swap(__glewCreateProgram, realCreateProgram, &createProgram);
    swap(__glewDeleteProgram, realDeleteProgram, &deleteProgram);
}

} // namespace testsupport

extern "C" {

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures)
{
    static const auto real = testsupport::next<void(GLAPIENTRY*)(GLsizei, GLuint*)>("glGenTextures");
    real(n, textures);
    if (testsupport::installed)
        testsupport::Ledger::get().created(testsupport::Kind::Texture, n, textures);
}

void GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* textures)
{
    static const auto real = testsupport::next<void(GLAPIENTRY*)(GLsizei, const GLuint*)>("glDeleteTextures");
    if (testsupport::installed)
        testsupport::Ledger::get().deleted(testsupport::Kind::Texture, n, textures);
    real(n, textures);
}

} // extern "C"

#else

namespace testsupport {

void GlObjectLedger::install() {}

} // namespace testsupport

#endif
