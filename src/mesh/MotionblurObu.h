// A static model that also hands its shader the model-view-projection matrix of its
// previous draw as "oldMVP", from which the shader derives screen-space velocity.
#pragma once

#include "mesh/StdModel.h"

namespace Tarvo {

class MotionblurObu final : public StdModel {
public:
    MotionblurObu(const std::string& meshPath, MeshFormat format, const std::string& texturePath);

    // The StdModel step, then the "oldMVP" location.
    void setShader(GLuint program) override;
    // Uploads the previous draw's matrix as "oldMVP" (the current one on the first
    // draw, so it shows no motion), draws, and keeps the matrix just used.
    void draw(double time) override;

    bool hasPreviousMVP() const { return hasPrevious; }
    glm::mat4 getPreviousMVP() const { return previousMVP; }

private:
    glm::mat4 previousMVP{1.0f};
    bool hasPrevious = false;
    GLint oldMvpLocation = -1;
};

} // namespace Tarvo
