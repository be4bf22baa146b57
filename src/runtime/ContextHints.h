// The context every GLFW window of the show, its tools and its tests asks for: OpenGL 3.3
// core, forward compatible (the only 3.3 some systems give), the engine's shaders' version.
#pragma once

#include <GLFW/glfw3.h>

namespace Tarvo {

inline void hintCoreContext()
{
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
}

} // namespace Tarvo
