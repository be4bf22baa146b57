// Turns a pair of GLSL source files into a linked program. Every shader of the show is
// loaded through here while its owner is being built; the owner keeps the program name.
#pragma once

#include <GL/glew.h>

// Compiles the vertex and fragment files and links them. Compile and link logs are
// printed on standard output; a program that failed to compile or link is still returned.
// Returns 0 when the vertex file cannot be opened ("Failed to open <path>.").
GLuint loadShaderProgram(const char* vertexPath, const char* fragmentPath);
