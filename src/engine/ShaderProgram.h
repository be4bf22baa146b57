// Turns a pair of GLSL source files into a linked program. Every shader of the show is
// loaded through here while its owner is being built; the owner keeps the program name.
// The engine remembers what each program was built from, so that a changed file can be
// built again in place (the same name, new code) and a broken one keeps the last good code.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

// Compiles the vertex and fragment files (with their includes) and links them. Compile
// and link logs are printed on standard output. Returns 0 when the vertex file cannot be
// opened ("Failed to open <path>."). A missing fragment file is named the same way; like a
// program that fails to compile or link, its program is returned but never drawn with
// (programLinked is false) until a rebuild succeeds.
GLuint loadShaderProgram(const char* vertexPath, const char* fragmentPath);
// Deletes a program from the loader and forgets what it was built from.
void deleteShaderProgram(GLuint program);

namespace Tarvo {

// True for a program whose last link succeeded, and for programs not built by the loader
// (their owners vouch for them); false for 0. Draws are skipped for programs that are not,
// so a broken shader costs only its own passes.
bool programLinked(GLuint program);
// Counts the rebuilds of a program: holders of its locations look them up again when it
// moves on.
unsigned programGeneration(GLuint program);
// The output locations of the program's fragment shader, bit i for location i (see
// fragmentOutputMask); location 0 alone for programs the loader did not build.
unsigned programOutputMask(GLuint program);
// Makes the program current when it linked and says so; a program that did not is left
// alone, so its pass draws nothing instead of raising GL errors.
bool useLinkedProgram(GLuint program);
// Binds the texture to the unit and points the program's sampler of that name at it
// (the program in use).
void bindSampler(GLuint program, const char* name, GLuint unit, GLuint texture);

// Compiles and links a program from sources built into the code (no files, no includes,
// never rebuilt), for passes that must draw even while the data is missing or broken. A
// shader that does not compile or a program that does not link is reported on standard
// error after "what does not build" and gives 0.
GLuint buildBuiltInProgram(const char* vertexSource, const char* fragmentSource, const char* what);

// Locations by name, looked up in GL once per program and rebuild. -1 when the program
// lacks the name, has not linked, or is 0.
GLint uniformLocation(GLuint program, const char* name);
GLint attributeLocation(GLuint program, const char* name);

// The fragment shader file a program was built from ("" for programs the loader did not
// build), for tools that name what a pass drew with.
std::string fragmentPathOf(GLuint program);

// "VERTEX + FRAGMENT" for each living program of the loader whose last link failed.
std::vector<std::string> unlinkedPrograms();

// Every file (shaders and their includes) that the living programs were built from.
std::vector<std::string> shaderFiles();

struct ShaderRebuild {
    GLuint program = 0;
    std::string vertexPath;
    std::string fragmentPath;
    bool linked = false;
    std::string log; // the compile and link logs of the attempt
};

// Rebuilds every living program built from the file. A program whose new sources link is
// replaced in place; one whose sources fail keeps its last good code (or stays unlinked if
// it never had any). Nothing is printed: the results say what happened.
std::vector<ShaderRebuild> rebuildShadersUsing(const std::string& file);

} // namespace Tarvo
