// Reader choice, the shared program and the matrix chain common to every model.
#include "mesh/Model.h"

#include <cstdio>

#include "engine/ShaderProgram.h"
#include "mesh/BinaryMesh.h"
#include "mesh/ObjReader.h"
#include "mesh/PlyReader.h"

namespace Tarvo {

GLuint Model::currentProgram = 0;

Model::Model() = default;

Model::Model(const std::string& meshPath, MeshFormat format)
{
    // The reader's result is not acted on: a mesh that failed leaves empty arrays, and
    // the model draws nothing.
    switch (format) {
    case MeshFormatPly:
        loadPLY(meshPath.c_str(), *this);
        break;
    case MeshFormatBinary:
        loadBinaryMesh(meshPath.c_str(), positions, texCoords, normals);
        break;
    default:
        loadOBJ(meshPath.c_str(), positions, texCoords, normals);
        break;
    }
}

void Model::setShader(GLuint program)
{
    currentProgram = program;
    if (program == 0 || programLinked(program))
        glUseProgram(program);
}

glm::mat4 Model::computeMVP() const
{
    const glm::mat4 p = projection ? *projection : glm::mat4(1.0f);
    return p * view * pre * model * post;
}

bool Model::readyToDraw()
{
    // A program that did not link has been reported by the loader; drawing with it would
    // only raise GL errors.
    if (projection && currentProgram != 0)
        return programLinked(currentProgram);
    if (!warnedNotReady) {
        std::printf("Model drawn before %s: nothing drawn\n",
                    projection ? "any setShader" : "setProjection");
        warnedNotReady = true;
    }
    return false;
}

} // namespace Tarvo
