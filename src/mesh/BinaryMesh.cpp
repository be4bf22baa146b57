// ".bobj" reading and writing. Counts are trusted only as far as the file backs them:
// a record the file does not hold reads as zeros, which can only ever produce index 0
// in a triangle, so a file too short for its triangles is rejected up front instead of
// allocating what its counts claim.
#include "mesh/BinaryMesh.h"

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "mesh/MeshCorners.h"
#include "mesh/ObjReader.h"

namespace Tarvo {

static_assert(std::endian::native == std::endian::little,
              "the .bobj records are read straight into memory as little-endian numbers");
static_assert(sizeof(glm::vec3) == 12 && sizeof(glm::vec2) == 8, "packed glm vectors");

namespace {

constexpr std::uint64_t kHeaderBytes = 16;
constexpr std::uint64_t kTriangleBytes = 36;
// Triangles are read in batches so that their indices are checked and expanded while
// still in cache.
constexpr std::size_t kTriangleBatch = 4096;

std::uint64_t fileSize(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long size = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

// Reads count records of T; bytes the file does not hold read as zeros.
template <typename T>
void readPool(std::FILE* file, std::vector<T>& pool, std::size_t count)
{
    pool.resize(count);
    const std::size_t bytes = count * sizeof(T);
    const std::size_t got = std::fread(pool.data(), 1, bytes, file);
    if (got < bytes)
        std::memset(reinterpret_cast<char*>(pool.data()) + got, 0, bytes - got);
}

} // namespace

bool readBinaryMesh(std::FILE* file, const char* name, std::vector<glm::vec3>& positions,
                    std::vector<glm::vec2>& texCoords, std::vector<glm::vec3>& normals)
{
    std::uint32_t counts[4] = {0, 0, 0, 0};
    const std::uint64_t size = fileSize(file);
    const std::size_t headerGot = std::fread(counts, 1, sizeof counts, file);
    (void)headerGot; // a count the file does not hold reads as 0
    std::printf("%" PRIu32 ", %" PRIu32 ", %" PRIu32 ", %" PRIu32 "\n", counts[0], counts[1],
                counts[2], counts[3]);

    const std::uint64_t positionCount = counts[0] / 3;
    const std::uint64_t texCoordCount = counts[1] / 2;
    const std::uint64_t normalCount = counts[2] / 3;
    const std::uint64_t triangleCount = counts[3] / 9;
    if (triangleCount == 0)
        return true;

    const std::uint64_t needed = kHeaderBytes + 12 * positionCount + 8 * texCoordCount
                                 + 12 * normalCount + kTriangleBytes * triangleCount;
    // Up to three missing bytes leave part of the last index in the file; four or more
    // make it 0, which no triangle may hold.
    if (size + 4 <= needed) {
        std::printf("Binary mesh %s is truncated: its counts need %" PRIu64
                    " bytes, the file holds %" PRIu64 "\n",
                    name, needed, size);
        return false;
    }

    std::vector<glm::vec3> positionPool;
    std::vector<glm::vec2> texCoordPool;
    std::vector<glm::vec3> normalPool;
    readPool(file, positionPool, positionCount);
    readPool(file, texCoordPool, texCoordCount);
    readPool(file, normalPool, normalCount);
    const MeshPoolSizes pools{positionPool.size(), texCoordPool.size(), normalPool.size()};

    MeshOutput output(positions, texCoords, normals);
    output.reserveMore(3 * triangleCount);
    std::vector<std::uint32_t> batch(9 * kTriangleBatch);
    std::string reason;
    for (std::uint64_t first = 0; first < triangleCount; first += kTriangleBatch) {
        const std::size_t n = static_cast<std::size_t>(
            std::min<std::uint64_t>(kTriangleBatch, triangleCount - first));
        const std::size_t bytes = n * kTriangleBytes;
        const std::size_t got = std::fread(batch.data(), 1, bytes, file);
        if (got < bytes)
            std::memset(reinterpret_cast<char*>(batch.data()) + got, 0, bytes - got);
        for (std::size_t t = 0; t < n; ++t) {
            const std::uint32_t* c = batch.data() + 9 * t;
            const std::int64_t indices[9] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
            if (!checkTriangleIndices(indices, pools, first + t, reason)) {
                std::printf("Bad index in %s: %s\n", name, reason.c_str());
                output.rollback();
                return false;
            }
            for (int k = 0; k < 3; ++k)
                output.append(positionPool[c[3 * k] - 1], texCoordPool[c[3 * k + 1] - 1],
                              normalPool[c[3 * k + 2] - 1]);
        }
    }
    return true;
}

bool loadBinaryMesh(const char* path, std::vector<glm::vec3>& out_vertices,
                    std::vector<glm::vec2>& out_uvs, std::vector<glm::vec3>& out_normals)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        std::printf("Cannot open binary mesh %s\n", path ? path : "(null)");
        return false;
    }
    const bool read = readBinaryMesh(file, path, out_vertices, out_uvs, out_normals);
    std::fclose(file);
    return read;
}

bool writeBinaryMesh(const char* path, const ObjMesh& mesh)
{
    const std::uint64_t wide[4] = {3 * std::uint64_t(mesh.positions.size()),
                                   2 * std::uint64_t(mesh.texCoords.size()),
                                   3 * std::uint64_t(mesh.normals.size()),
                                   std::uint64_t(mesh.corners.size())};
    std::uint32_t counts[4];
    for (int i = 0; i < 4; ++i) {
        if (wide[i] > std::numeric_limits<std::uint32_t>::max()) {
            std::fprintf(stderr, "Mesh too large for the .bobj format: %s\n", path);
            return false;
        }
        counts[i] = static_cast<std::uint32_t>(wide[i]);
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::fprintf(stderr, "Cannot write %s\n", path);
        return false;
    }
    bool ok = std::fwrite(counts, sizeof counts, 1, file) == 1;
    auto writeAll = [&](const void* data, std::size_t bytes) {
        if (ok && bytes > 0)
            ok = std::fwrite(data, 1, bytes, file) == bytes;
    };
    writeAll(mesh.positions.data(), mesh.positions.size() * sizeof(glm::vec3));
    writeAll(mesh.texCoords.data(), mesh.texCoords.size() * sizeof(glm::vec2));
    writeAll(mesh.normals.data(), mesh.normals.size() * sizeof(glm::vec3));
    writeAll(mesh.corners.data(), mesh.corners.size() * sizeof(std::int32_t));
    ok = (std::fclose(file) == 0) && ok;
    if (!ok)
        std::fprintf(stderr, "Cannot write %s\n", path);
    return ok;
}

} // namespace Tarvo
