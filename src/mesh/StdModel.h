// A static textured model: the mesh arrays in three vertex buffers, one colour texture,
// drawn as a plain triangle list with the shared program.
#pragma once

#include <string>

#include "mesh/Model.h"

namespace Tarvo {

class StdModel : public Model {
public:
    // Reads the mesh, loads the texture with mirrored-repeat wrapping and uploads the
    // positions, texture coordinates and normals.
    StdModel(const std::string& meshPath, MeshFormat format, const std::string& texturePath);
    ~StdModel();

    // The Model step, then this model's uniform and attribute locations in the program.
    void setShader(GLuint program) override;
    // Draws every corner; the time value is not used.
    void draw(double time) override;

    GLuint getTexture() const { return texture; }
    GLsizei vertexCount() const { return static_cast<GLsizei>(positions.size()); }

protected:
    // Looks the locations up again when the program they came from has been rebuilt since;
    // true when it did.
    bool refreshLocations();

    GLuint positionBuffer = 0;
    GLuint texCoordBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint texture = 0;

    GLint mvpLocation = -1;
    GLint modelLocation = -1;
    GLint viewLocation = -1;
    GLint positionLocation = -1;
    GLint texCoordLocation = -1;
    GLint samplerLocation = -1;
    GLint normalLocation = -1;
    GLuint locationsProgram = 0;
    unsigned locationsGeneration = 0;
};

} // namespace Tarvo
