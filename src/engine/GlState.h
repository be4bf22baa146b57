// The fixed GL state every pass of the engine starts from, set once when a context is made
// (by the demo instance, and by tests that draw without one): clear to transparent black,
// depth test with GL_LESS, and alpha blending on. Passes rely on it rather than setting
// their own.
#pragma once

#include <GL/glew.h>

namespace Tarvo {

inline void setFixedGlState()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace Tarvo
