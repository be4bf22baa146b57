// Loading and drawing of rigid-part animations. A file that cannot animate (see
// parseNwa) is reported and gives a model without parts, which draws nothing.
#include "mesh/AniModel.h"

#include <cstdio>
#include <fstream>

#include "mesh/NwaFile.h"

namespace Tarvo {

namespace {

const char* const kPartTexture = "./data/img/envmap.png";

} // namespace

AniModel::AniModel(const std::string& nwaPath, const std::string& texturePath)
{
    (void)texturePath;
    std::ifstream in(nwaPath);
    if (!in) {
        std::printf("Cannot open animation %s\n", nwaPath.c_str());
        return;
    }
    NwaFile nwa;
    std::string error;
    if (!parseNwa(in, nwa, error)) {
        std::printf("Animation %s not loaded: %s\n", nwaPath.c_str(), error.c_str());
        return;
    }
    const std::size_t count = nwa.partNames.size();
    meshes.reserve(count);
    parts.reserve(count);
    for (std::size_t p = 0; p < count; ++p) {
        const std::string path = resolvePartPath(nwaPath, nwa.partNames[p]);
        meshes.push_back(new MotionblurObu(path, MeshFormatObj, kPartTexture));
        AniPart part;
        part.mesh = meshes.back();
        part.length = nwa.length;
        part.spacing = nwa.spacing;
        part.keys = nwa.partKeys(p);
        parts.push_back(std::move(part));
    }
}

AniModel::~AniModel()
{
    for (MotionblurObu* mesh : meshes)
        delete mesh;
}

void AniModel::draw(double time)
{
    if (parts.empty() || !readyToDraw())
        return;
    const glm::mat4 identity(1.0f);
    for (const AniPart& part : parts) {
        MotionblurObu* mesh = part.mesh;
        mesh->setPreMatrix(identity);
        mesh->setPostMatrix(partPostMatrix(part.evaluate(time)));
        // The parts look their locations up in whichever program was set last.
        mesh->setShader(currentProgram);
        mesh->setProjection(projection);
        mesh->setView(view);
        mesh->setModelMatrix(model);
        mesh->draw(time);
    }
}

} // namespace Tarvo
