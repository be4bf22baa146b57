// ".bobj" reading and writing. The file is read whole and its records are used where
// they lie. Counts are trusted only as far as the file backs them: a record the file
// does not hold reads as zeros, which can only ever produce index 0 in a triangle, so a
// file too short for its triangles is rejected up front instead of allocating what its
// counts claim.
#include "mesh/BinaryMesh.h"

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "base/AtomicFile.h"
#include "mesh/MeshCorners.h"
#include "mesh/MeshMemory.h"
#include "mesh/ObjReader.h"

namespace Tarvo {

static_assert(std::endian::native == std::endian::little,
              "the .bobj records are read straight into memory as little-endian numbers");
static_assert(sizeof(glm::vec3) == 12 && sizeof(glm::vec2) == 8, "packed glm vectors");

namespace {

constexpr std::uint64_t kHeaderBytes = 16;
constexpr std::uint64_t kTriangleBytes = 36;

// Bytes [offset, offset + count) of the file; bytes past its end read as zeros.
inline void copyPadded(void* out, const char* data, std::size_t size, std::uint64_t offset,
                       std::size_t count)
{
    if (offset <= size && count <= size - offset) {
        std::memcpy(out, data + offset, count);
        return;
    }
    std::size_t available = 0;
    if (offset < size)
        available = static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset));
    if (available)
        std::memcpy(out, data + offset, available);
    if (available < count)
        std::memset(static_cast<char*>(out) + available, 0, count - available);
}

} // namespace

bool readBinaryMesh(const char* data, std::size_t size, const char* name,
                    std::vector<glm::vec3>& positions, std::vector<glm::vec2>& texCoords,
                    std::vector<glm::vec3>& normals)
{
    // A count the file does not hold reads as 0.
    std::uint32_t counts[4];
    copyPadded(counts, data, size, 0, sizeof counts);
    std::printf("%" PRIu32 ", %" PRIu32 ", %" PRIu32 ", %" PRIu32 "\n", counts[0], counts[1],
                counts[2], counts[3]);

    const std::uint64_t positionCount = counts[0] / 3;
    const std::uint64_t texCoordCount = counts[1] / 2;
    const std::uint64_t normalCount = counts[2] / 3;
    const std::uint64_t triangleCount = counts[3] / 9;
    if (triangleCount == 0)
        return true;

    const std::uint64_t texCoordsAt = kHeaderBytes + 12 * positionCount;
    const std::uint64_t normalsAt = texCoordsAt + 8 * texCoordCount;
    const std::uint64_t trianglesAt = normalsAt + 12 * normalCount;
    const std::uint64_t needed = trianglesAt + kTriangleBytes * triangleCount;
    // Up to three missing bytes leave part of the last index in the file; four or more
    // make it 0, which no triangle may hold. Past this check every pool is in the file.
    if (size + 4 <= needed) {
        std::printf("Binary mesh %s is truncated: its counts need %" PRIu64
                    " bytes, the file holds %" PRIu64 "\n",
                    name, needed, static_cast<std::uint64_t>(size));
        return false;
    }

    const char* positionPool = data + kHeaderBytes;
    const char* texCoordPool = data + texCoordsAt;
    const char* normalPool = data + normalsAt;
    // Each count is a 32-bit field divided by 2 or 3: it fits a 32-bit size_t too.
    const MeshPoolSizes pools{static_cast<std::size_t>(positionCount), static_cast<std::size_t>(texCoordCount),
                              static_cast<std::size_t>(normalCount)};
    MeshOutput output(positions, texCoords, normals);
    output.reserveMore(3 * triangleCount);
    const std::uint64_t sizes[3] = {positionCount, texCoordCount, normalCount};
    for (std::uint64_t t = 0; t < triangleCount; ++t) {
        std::uint32_t c[9];
        copyPadded(c, data, size, trianglesAt + kTriangleBytes * t, sizeof c);
        // One unsigned compare per index (0 wraps to the top); the message only on failure.
        bool inside = true;
        for (int i = 0; i < 9; ++i)
            inside &= std::uint64_t(c[i]) - 1 < sizes[i % 3];
        if (!inside) {
            const std::int64_t indices[9] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
            std::string reason;
            checkTriangleIndices(indices, pools, t, reason);
            std::printf("Bad index in %s: %s\n", name, reason.c_str());
            output.rollback();
            return false;
        }
        for (int k = 0; k < 3; ++k) {
            glm::vec3 position;
            glm::vec2 texCoord;
            glm::vec3 normal;
            std::memcpy(&position, positionPool + 12 * std::size_t(c[3 * k] - 1), 12);
            std::memcpy(&texCoord, texCoordPool + 8 * std::size_t(c[3 * k + 1] - 1), 8);
            std::memcpy(&normal, normalPool + 12 * std::size_t(c[3 * k + 2] - 1), 12);
            output.append(position, texCoord, normal);
        }
    }
    return true;
}

bool loadBinaryMesh(const char* path, std::vector<glm::vec3>& out_vertices,
                    std::vector<glm::vec2>& out_uvs, std::vector<glm::vec3>& out_normals)
{
    FileContents file;
    if (!file.open(path)) {
        std::printf("Cannot open binary mesh %s\n", path ? path : "(null)");
        return false;
    }
    return readBinaryMesh(file.data(), file.size(), path, out_vertices, out_uvs, out_normals);
}

bool writeBinaryMesh(const char* path, const ObjMesh& mesh, std::string& why)
{
    const std::uint64_t wide[4] = {3 * std::uint64_t(mesh.positions.size()),
                                   2 * std::uint64_t(mesh.texCoords.size()),
                                   3 * std::uint64_t(mesh.normals.size()),
                                   std::uint64_t(mesh.corners.size())};
    std::uint32_t counts[4];
    for (int i = 0; i < 4; ++i) {
        if (wide[i] > std::numeric_limits<std::uint32_t>::max()) {
            why = "the mesh is too large for the .bobj format";
            return false;
        }
        counts[i] = static_cast<std::uint32_t>(wide[i]);
    }
    AtomicFile file(path);
    bool ok = file.write(counts, sizeof counts);
    auto writeAll = [&](const void* data, std::size_t bytes) {
        if (ok && bytes > 0)
            ok = file.write(data, bytes);
    };
    writeAll(mesh.positions.data(), mesh.positions.size() * sizeof(glm::vec3));
    writeAll(mesh.texCoords.data(), mesh.texCoords.size() * sizeof(glm::vec2));
    writeAll(mesh.normals.data(), mesh.normals.size() * sizeof(glm::vec3));
    writeAll(mesh.corners.data(), mesh.corners.size() * sizeof(std::int32_t));
    if (!ok || !file.commit()) {
        why = file.error().empty() ? "the file could not be written" : file.error();
        return false;
    }
    return true;
}

bool writeBinaryMesh(const char* path, const ObjMesh& mesh)
{
    std::string why;
    if (writeBinaryMesh(path, mesh, why))
        return true;
    std::fprintf(stderr, "Cannot write %s: %s\n", path, why.c_str());
    return false;
}

} // namespace Tarvo
