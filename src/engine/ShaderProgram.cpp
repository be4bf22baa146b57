// The shader program loader: reads both sources (with their includes), compiles, links and
// prints whatever the driver has to say. Nothing is made current and no locations are bound.
#include "engine/ShaderProgram.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/ShaderSource.h"

namespace {

// The file and its includes as one source; include problems are printed where the
// compile log will follow, since they explain it.
bool readSource(const char* path, std::string& source)
{
    Tarvo::ShaderSource assembled;
    if (!assembled.read(path))
        return false;
    for (const std::string& problem : assembled.problems())
        std::printf("%s\n", problem.c_str());
    source = assembled.text();
    return true;
}

// Shaders and programs keep their logs behind the same pair of calls.
void printLog(GLuint object, PFNGLGETSHADERIVPROC getLength, PFNGLGETSHADERINFOLOGPROC getLog)
{
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return;
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    getLog(object, length, nullptr, log.data());
    std::printf("%s\n", log.data());
}

void printShaderLog(GLuint shader)
{
    printLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

void printProgramLog(GLuint program)
{
    printLog(program, glGetProgramiv, glGetProgramInfoLog);
}

void compile(GLuint shader, const char* path, const std::string& source)
{
    std::printf("Compiling: %s\n", path);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    // The status is not acted upon: a broken shader is reported through its log and the
    // caller carries on with what it gets.
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    printShaderLog(shader);
}

} // namespace

GLuint loadShaderProgram(const char* vertexPath, const char* fragmentPath)
{
    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);

    std::string vertexSource;
    if (vertexPath == nullptr || !readSource(vertexPath, vertexSource)) {
        std::printf("Failed to open %s.\n", vertexPath ? vertexPath : "(null)");
        std::fflush(stdout);
        // Nothing will ever use these two shader objects.
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        return 0;
    }

    // A missing fragment file is not reported here: the empty source fails to compile and
    // link, and the driver's logs say so.
    std::string fragmentSource;
    if (fragmentPath != nullptr)
        readSource(fragmentPath, fragmentSource);

    compile(vertexShader, vertexPath, vertexSource);
    compile(fragmentShader, fragmentPath ? fragmentPath : "(null)", fragmentSource);

    std::printf("Linking\n");
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    printProgramLog(program);
    std::fflush(stdout);

    // The shaders stay attached, so they live on with the program and are freed with it.
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    return program;
}
