// The project's shaders are written once, in GLSL 330 core, and kept inside what GLSL ES 3.00
// also accepts (no implicit int-to-float conversions, no uniform initialisers, explicit
// locations when a shader has several outputs). What still differs is the header: ES needs
// its own version line and default precisions, which this file adds for the browser build.
#pragma once

#include <string>

namespace Tarvo {

// A desktop GLSL source as GLSL ES 3.00: its "#version" line becomes "#version 300 es" (one
// is added when there is none) and default precisions (highp floats, ints and samplers)
// follow it and any "#extension" lines after it. Line numbers of the compiler's messages
// stay those of the original source. A source already in ES comes back unchanged.
std::string toGlslEs(const std::string& source);

// The locations a fragment shader writes: bit i for each output at location i. An output
// without a location is at location 0 (GLSL allows that only for a shader's one output).
// Outputs are found by their declarations at the start of a line ("out vec4 color;",
// "layout(location = 2) out vec4 velocity;"); arrays take as many locations as they have
// elements.
unsigned fragmentOutputMask(const std::string& source);

// The source as the GL this program is built for takes it: unchanged for desktop OpenGL,
// toGlslEs for WebGL 2. Every shader source goes through here before it is compiled.
std::string shaderSourceForThisGl(const std::string& source);

} // namespace Tarvo
