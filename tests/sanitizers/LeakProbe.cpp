// Leaks one thing on purpose, named by its argument, so that the sanitizer build proves its
// leak check still sees our own leaks through the suppressions for the libraries: plain
// memory, and GL textures, buffers and programs that are created and never deleted. With
// "nothing" it creates and deletes each, and must pass the check.
#include <GL/glew.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/ShaderProgram.h"
#include "support/GLTestContext.h"

namespace {

[[gnu::noinline]] void leakMemory()
{
    int* volatile block = new int[64];
    block[0] = 1;
}

[[gnu::noinline]] GLuint leakTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const std::vector<unsigned char> pixels(64 * 64 * 4, 200);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

[[gnu::noinline]] GLuint leakBuffer()
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, 4096, nullptr, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer;
}

[[gnu::noinline]] GLuint leakProgram()
{
    return loadShaderProgram("./data/shaders/trivial.vs", "./data/shaders/trivial.fs");
}

} // namespace

int main(int argc, char** argv)
{
    const char* what = argc > 1 ? argv[1] : "";
    if (!testsupport::GLTestContext::ensure(64, 64))
        return 2;
    if (std::strcmp(what, "memory") == 0) {
        leakMemory();
    } else if (std::strcmp(what, "texture") == 0) {
        leakTexture();
    } else if (std::strcmp(what, "buffer") == 0) {
        leakBuffer();
    } else if (std::strcmp(what, "program") == 0) {
        leakProgram();
    } else if (std::strcmp(what, "nothing") == 0) {
        GLuint texture = leakTexture();
        GLuint buffer = leakBuffer();
        deleteShaderProgram(leakProgram());
        glDeleteTextures(1, &texture);
        glDeleteBuffers(1, &buffer);
        delete[] new int[64];
    } else {
        std::fprintf(stderr, "usage: leak_probe memory|texture|buffer|program|nothing\n");
        return 2;
    }
    glFinish();
    return 0; // the leak check runs at exit, before the context closes
}
