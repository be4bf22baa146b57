#include "engine/FullScreenQuad.h"

#include "engine/DrawBufferScope.h"

namespace Tarvo {

FullScreenQuad::FullScreenQuad()
{
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(fullScreenQuad), fullScreenQuad, GL_STATIC_DRAW);
}

FullScreenQuad::~FullScreenQuad()
{
    glDeleteBuffers(1, &buffer);
}

void FullScreenQuad::draw(GLint positionLocation) const
{
    if (positionLocation < 0)
        return;
    const GLuint location = static_cast<GLuint>(positionLocation);
    glEnableVertexAttribArray(location);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    {
        const DrawBufferScope outputs;
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
    glDisableVertexAttribArray(location);
}

} // namespace Tarvo
