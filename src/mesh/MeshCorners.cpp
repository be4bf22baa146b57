// Index checks and output bookkeeping shared by the OBJ and ".bobj" readers.
#include "mesh/MeshCorners.h"

#include "mesh/MeshMemory.h"

namespace Tarvo {

namespace {

const char* const kPoolNames[3] = {"position", "texture coordinate", "normal"};

std::size_t poolSize(const MeshPoolSizes& pools, int slot)
{
    const std::size_t sizes[3] = {pools.positions, pools.texCoords, pools.normals};
    return sizes[slot % 3];
}

} // namespace

int firstBadIndex(const std::int64_t indices[9], const MeshPoolSizes& pools)
{
    for (int i = 0; i < 9; ++i) {
        const std::int64_t index = indices[i];
        if (!(index >= 1 && static_cast<std::uint64_t>(index) <= poolSize(pools, i)))
            return i;
    }
    return -1;
}

std::string badIndexReason(std::size_t triangle, int slot, const std::string& written,
                           const MeshPoolSizes& pools)
{
    return "triangle " + std::to_string(triangle + 1) + ", corner " + std::to_string(slot / 3 + 1) + ": "
           + kPoolNames[slot % 3] + " index " + written + " is outside 1.."
           + std::to_string(poolSize(pools, slot));
}

bool checkTriangleIndices(const std::int64_t indices[9], const MeshPoolSizes& pools,
                          std::size_t triangle, std::string& reason)
{
    const int slot = firstBadIndex(indices, pools);
    if (slot < 0)
        return true;
    reason = badIndexReason(triangle, slot, std::to_string(indices[slot]), pools);
    return false;
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
