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

// The rest go through the loader's function pointers, swapped by install(). The
// objects made and deleted by arrays of names share one signature each way, so one
// wrapper of each, per kind, stands in for all of them.
using GenNames = void(GLAPIENTRY*)(GLsizei, GLuint*);
using DeleteNames = void(GLAPIENTRY*)(GLsizei, const GLuint*);
GenNames realGen[static_cast<int>(Kind::Shader)];
DeleteNames realDelete[static_cast<int>(Kind::Shader)];
PFNGLCREATESHADERPROC realCreateShader;
PFNGLDELETESHADERPROC realDeleteShader;
PFNGLCREATEPROGRAMPROC realCreateProgram;
PFNGLDELETEPROGRAMPROC realDeleteProgram;

template <Kind kind>
void GLAPIENTRY genNames(GLsizei n, GLuint* names)
{
    realGen[static_cast<int>(kind)](n, names);
    Ledger::get().created(kind, n, names);
}

template <Kind kind>
void GLAPIENTRY deleteNames(GLsizei n, const GLuint* names)
{
    Ledger::get().deleted(kind, n, names);
    realDelete[static_cast<int>(kind)](n, names);
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

// Both entry points of one kind made by arrays of names.
template <Kind kind>
void swapNames(GenNames& gen, DeleteNames& del)
{
    swap(gen, realGen[static_cast<int>(kind)], &genNames<kind>);
    swap(del, realDelete[static_cast<int>(kind)], &deleteNames<kind>);
}

} // namespace

void GlObjectLedger::install()
{
    if (installed)
        return;
    installed = true;
    swapNames<Kind::Buffer>(__glewGenBuffers, __glewDeleteBuffers);
    swapNames<Kind::Framebuffer>(__glewGenFramebuffers, __glewDeleteFramebuffers);
    swapNames<Kind::Renderbuffer>(__glewGenRenderbuffers, __glewDeleteRenderbuffers);
    swapNames<Kind::VertexArray>(__glewGenVertexArrays, __glewDeleteVertexArrays);
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
