// Turning indexed triangles into the per-corner arrays that models upload as they are.
// Both mesh readers share this so that an index outside its pool is rejected the same
// way, and a reader that fails part-way leaves the caller's arrays as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace Tarvo {

// Sizes of the three pools that 1-based corner indices point into.
struct MeshPoolSizes {
    std::size_t positions = 0;
    std::size_t texCoords = 0;
    std::size_t normals = 0;
};

// Checks the nine 1-based indices of one triangle (position, texture coordinate, normal
// for each corner). On failure writes a readable reason and returns false.
bool checkTriangleIndices(const std::int64_t indices[9], const MeshPoolSizes& pools,
                          std::size_t triangle, std::string& reason);
// The first of the nine indices that is outside its pool, or -1.
int firstBadIndex(const std::int64_t indices[9], const MeshPoolSizes& pools);
// Why index slot (0 to 8) of a triangle is bad, with the index as the file wrote it.
std::string badIndexReason(std::size_t triangle, int slot, const std::string& written,
                           const MeshPoolSizes& pools);

// The caller's output arrays, appended to and never cleared.
class MeshOutput {
public:
    MeshOutput(std::vector<glm::vec3>& positions, std::vector<glm::vec2>& texCoords,
               std::vector<glm::vec3>& normals);

    void reserveMore(std::size_t corners);
    void append(const glm::vec3& position, const glm::vec2& texCoord, const glm::vec3& normal)
    {
        positions.push_back(position);
        texCoords.push_back(texCoord);
        normals.push_back(normal);
    }
    // Corners appended so far, and overwriting one of them.
    std::size_t appended() const { return positions.size() - startPositions; }
    void set(std::size_t corner, const glm::vec3& position, const glm::vec2& texCoord,
             const glm::vec3& normal)
    {
        positions[startPositions + corner] = position;
        texCoords[startTexCoords + corner] = texCoord;
        normals[startNormals + corner] = normal;
    }
    // Back to the sizes the arrays had when this object was made.
    void rollback();

private:
    std::vector<glm::vec3>& positions;
    std::vector<glm::vec2>& texCoords;
    std::vector<glm::vec3>& normals;
    std::size_t startPositions;
    std::size_t startTexCoords;
    std::size_t startNormals;
};

} // namespace Tarvo
