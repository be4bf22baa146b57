// Index checks and output bookkeeping shared by the OBJ and ".bobj" readers.
#include "mesh/MeshCorners.h"

#include "mesh/MeshMemory.h"

namespace Tarvo {

namespace {

const char* const kPoolNames[3] = {"position", "texture coordinate", "normal"};

} // namespace

bool checkTriangleIndices(const std::int64_t indices[9], const MeshPoolSizes& pools,
                          std::size_t triangle, std::string& reason)
{
    const std::size_t sizes[3] = {pools.positions, pools.texCoords, pools.normals};
    for (int i = 0; i < 9; ++i) {
        const std::int64_t index = indices[i];
        const std::size_t size = sizes[i % 3];
        if (index >= 1 && static_cast<std::uint64_t>(index) <= size)
            continue;
        reason = "triangle " + std::to_string(triangle + 1) + ", corner "
                 + std::to_string(i / 3 + 1) + ": " + kPoolNames[i % 3] + " index "
                 + std::to_string(index) + " is outside 1.." + std::to_string(size);
        return false;
    }
    return true;
}

MeshOutput::MeshOutput(std::vector<glm::vec3>& positions, std::vector<glm::vec2>& texCoords,
                       std::vector<glm::vec3>& normals)
    : positions(positions), texCoords(texCoords), normals(normals),
      startPositions(positions.size()), startTexCoords(texCoords.size()),
      startNormals(normals.size())
{
}

void MeshOutput::reserveMore(std::size_t corners)
{
    reserveLarge(positions, corners);
    reserveLarge(texCoords, corners);
    reserveLarge(normals, corners);
}

void MeshOutput::rollback()
{
    positions.resize(startPositions);
    texCoords.resize(startTexCoords);
    normals.resize(startNormals);
}

} // namespace Tarvo
