// The fixed GL state every pass of the engine starts from, set once when a context is made
// (by the demo instance, and by tests that draw without one): clear to transparent black,
// depth test with GL_LESS, and alpha blending on. Passes rely on it rather than setting
// their own. Also how the GL entry points are loaded for a new context, and the sampling
// every texture drawn to and then read whole is set up with.
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

// Loads the GL entry points for the context just made current. A GLEW built for GLX loads
// every entry point and then reports that there is no X display for its GLX extensions,
// which a context made without one does not use: that counts as loaded. The errors loading
// leaves behind (GLEW's experimental loader can leave a harmless GL_INVALID_ENUM) are
// cleared, so the first error a caller checks for is its own; after a failure nothing is
// asked of a GL that may not be there.
inline bool loadGlEntryPoints()
{
    glewExperimental = GL_TRUE;
    const GLenum loaded = glewInit();
#if defined(GLEW_ERROR_NO_GLX_DISPLAY)
    const bool ok = loaded == GLEW_OK || loaded == GLEW_ERROR_NO_GLX_DISPLAY;
#else
    const bool ok = loaded == GLEW_OK;
#endif
    while (ok && glGetError() != GL_NO_ERROR) {
    }
    return ok;
}

// The bound 2D texture read only within its edges (it is never tiled), with the filter
// (GL_NEAREST or GL_LINEAR) both ways; 0 leaves the texture's filters as they are.
inline void setEdgeSampling(GLint filter)
{
    if (filter != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

} // namespace Tarvo
