// A rigidly animated object: several OBJ part meshes, each moving along its own keys, as
// described by a ".nwa" file. Every part is a motion-blurred model, so each keeps its own
// previous-frame matrix.
#pragma once

#include <string>
#include <vector>

#include "mesh/AniPart.h"
#include "mesh/Model.h"
#include "mesh/MotionblurObu.h"

namespace Tarvo {

class AniModel final : public Model {
public:
    // Every part is textured with "./data/img/envmap.png"; texturePath is accepted for
    // the interface's sake and not used.
    AniModel(const std::string& nwaPath, const std::string& texturePath);
    ~AniModel();

    // Draws every part at time t with the shared program, this model's projection, view
    // and model matrix, and the part's evaluated key as its post matrix.
    void draw(double time) override;

    const std::vector<AniPart>& getParts() const { return parts; }

private:
    std::vector<AniPart> parts;
    std::vector<MotionblurObu*> meshes;
};

} // namespace Tarvo
