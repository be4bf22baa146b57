// The screen-filling quad every full-screen pass draws: two triangles in clip space at
// depth 0, in a vertex buffer of its own, fed to a program's position attribute.
#pragma once

#include <GL/glew.h>

namespace Tarvo {

// The quad's corners, as full-screen shaders receive them in "trivial_vertices".
inline constexpr float fullScreenQuad[18] = {
    -1.0f, -1.0f, 0.0f,
     1.0f, -1.0f, 0.0f,
    -1.0f,  1.0f, 0.0f,
    -1.0f,  1.0f, 0.0f,
     1.0f, -1.0f, 0.0f,
     1.0f,  1.0f, 0.0f,
};

class FullScreenQuad {
public:
    FullScreenQuad();
    ~FullScreenQuad();
    FullScreenQuad(const FullScreenQuad&) = delete;
    FullScreenQuad& operator=(const FullScreenQuad&) = delete;

    // Draws with the program in use, feeding the corners to the attribute at
    // positionLocation. A program without that attribute (-1, or one that failed to link)
    // draws nothing: a -1 location must not reach the attribute calls.
    void draw(GLint positionLocation) const;

private:
    GLuint buffer = 0;
};

} // namespace Tarvo
