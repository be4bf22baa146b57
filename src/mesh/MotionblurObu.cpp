// The previous matrix is that of this object's last draw call, whatever happened in
// between: a model skipped for several frames blurs across the whole gap, and one drawn
// twice in a frame gets the first draw's matrix in the second.
#include "mesh/MotionblurObu.h"

#include "engine/ShaderProgram.h"

namespace Tarvo {

MotionblurObu::MotionblurObu(const std::string& meshPath, MeshFormat format,
                             const std::string& texturePath)
    : StdModel(meshPath, format, texturePath)
{
}

void MotionblurObu::setShader(GLuint program)
{
    const bool known = program == locationsProgram && programGeneration(program) == locationsGeneration;
    StdModel::setShader(program);
    if (!known || program == 0)
        oldMvpLocation = uniformLocation(program, "oldMVP");
}

void MotionblurObu::draw(double time)
{
    if (!readyToDraw())
        return;
    if (refreshLocations())
        oldMvpLocation = uniformLocation(locationsProgram, "oldMVP");
    if (!hasPrevious) {
        previousMVP = computeMVP();
        hasPrevious = true;
    }
    glUseProgram(currentProgram);
    glUniformMatrix4fv(oldMvpLocation, 1, GL_FALSE, &previousMVP[0][0]);
    StdModel::draw(time);
    previousMVP = computeMVP();
}

} // namespace Tarvo
