// Properties checked on arbitrary input by the fuzz targets and the corpus replay.
// The ".bobj" oracle reads the bytes where the format puts them, with zeros past the
// end, and never allocates what the counts claim.
#include "fuzz/FuzzChecks.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

#include "ScanfObjReference.h"
#include "mesh/BinaryMesh.h"
#include "mesh/MeshCorners.h"
#include "mesh/NwaFile.h"
#include "mesh/ObjReader.h"
#include "mesh/PlyReader.h"

namespace meshfuzz {

namespace {

bool sameBits(const void* a, const void* b, std::size_t size)
{
    return std::memcmp(a, b, size) == 0;
}

// Little-endian 32-bit word at a byte offset; bytes past the data read as zero.
std::uint32_t wordAt(const std::uint8_t* data, std::size_t size, std::uint64_t offset)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t at = offset + i;
        if (at < size)
            value |= std::uint32_t(data[at]) << (8 * i);
    }
    return value;
}

float floatAt(const std::uint8_t* data, std::size_t size, std::uint64_t offset)
{
    const std::uint32_t bits = wordAt(data, size, offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

namespace {

template <typename T>
bool sameArrays(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size()
           && (a.empty() || sameBits(a.data(), b.data(), a.size() * sizeof(T)));
}

} // namespace

std::string checkObj(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Tarvo::ObjMesh fast;
    bool fastOk = false;
    const std::string difference = meshtest::compareWithReference(text, fast, fastOk);
    if (!difference.empty())
        return difference;

    bool indicesOk = fastOk;
    const Tarvo::MeshPoolSizes pools{fast.positions.size(), fast.texCoords.size(),
                                     fast.normals.size()};
    std::string reason;
    for (std::size_t t = 0; t < fast.triangleCount() && indicesOk; ++t) {
        const std::int32_t* c = fast.corners.data() + 9 * t;
        const std::int64_t indices[9] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
        indicesOk = Tarvo::checkTriangleIndices(indices, pools, t, reason);
    }

    // Reading straight into the outputs (loadOBJ's way) accepts exactly the same files.
    std::vector<glm::vec3> streamedPositions(1, glm::vec3(7.0f));
    std::vector<glm::vec2> streamedTexCoords;
    std::vector<glm::vec3> streamedNormals(2, glm::vec3(5.0f));
    const bool streamed = Tarvo::loadObjText("fuzz", text.data(), text.size(), streamedPositions,
                                             streamedTexCoords, streamedNormals);
    if (streamed != indicesOk)
        return streamed ? "loadObjText accepted a bad file" : "loadObjText rejected a good file";
    if (!indicesOk) {
        if (streamedPositions.size() != 1 || !streamedTexCoords.empty()
            || streamedNormals.size() != 2)
            return "a failed read changed the caller's arrays";
        return {};
    }

    std::vector<glm::vec3> positions(1, glm::vec3(7.0f));
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals(2, glm::vec3(5.0f));
    if (!Tarvo::expandObjMesh("fuzz", fast, positions, texCoords, normals))
        return "expansion rejected indices that are inside their pools";
    const std::size_t corners = 3 * fast.triangleCount();
    if (positions.size() != 1 + corners || texCoords.size() != corners
        || normals.size() != 2 + corners)
        return "expansion appended the wrong number of corners";
    for (std::size_t i = 0; i < corners; ++i) {
        const std::int32_t* c = fast.corners.data() + 3 * i;
        if (!sameBits(&positions[1 + i], &fast.positions[c[0] - 1], 12)
            || !sameBits(&texCoords[i], &fast.texCoords[c[1] - 1], 8)
            || !sameBits(&normals[2 + i], &fast.normals[c[2] - 1], 12))
            return "corner " + std::to_string(i) + " does not match its pools";
    }
    if (!sameArrays(positions, streamedPositions) || !sameArrays(texCoords, streamedTexCoords)
        || !sameArrays(normals, streamedNormals))
        return "loadObjText and expandObjMesh give different corners";
    return {};
}

std::string checkBinaryMesh(const std::uint8_t* data, std::size_t size)
{
    std::vector<glm::vec3> positions(2, glm::vec3(3.0f));
    std::vector<glm::vec2> texCoords(1, glm::vec2(4.0f));
    std::vector<glm::vec3> normals;
    const bool read = Tarvo::readBinaryMesh(reinterpret_cast<const char*>(data), size, "fuzz",
                                            positions, texCoords, normals);

    // The format as written: counts, then records, zeros where the file ends.
    const std::uint64_t np = wordAt(data, size, 0) / 3, nt = wordAt(data, size, 4) / 2,
                        nn = wordAt(data, size, 8) / 3, ni = wordAt(data, size, 12) / 9;
    const std::uint64_t texAt = 16 + 12 * np, normalAt = texAt + 8 * nt,
                        triAt = normalAt + 12 * nn;
    bool valid = true;
    for (std::uint64_t t = 0; t < ni && valid; ++t) {
        for (int i = 0; i < 9 && valid; ++i) {
            const std::uint32_t index = wordAt(data, size, triAt + 36 * t + 4 * i);
            const std::uint64_t pool = (i % 3 == 0) ? np : (i % 3 == 1) ? nt : nn;
            valid = index >= 1 && index <= pool;
        }
    }
    if (read != valid)
        return read ? "reader accepted an index outside its pool"
                    : "reader rejected a file whose indices are all inside their pools";
    if (!read) {
        if (positions.size() != 2 || texCoords.size() != 1 || !normals.empty())
            return "a failed read changed the caller's arrays";
        return {};
    }
    if (positions.size() != 2 + 3 * ni || texCoords.size() != 1 + 3 * ni
        || normals.size() != 3 * ni)
        return "reader appended the wrong number of corners";
    for (std::uint64_t c = 0; c < 3 * ni; ++c) {
        const std::uint64_t at = triAt + 12 * c;
        const std::uint64_t p = wordAt(data, size, at) - 1, u = wordAt(data, size, at + 4) - 1,
                            n = wordAt(data, size, at + 8) - 1;
        const glm::vec3 position(floatAt(data, size, 16 + 12 * p),
                                 floatAt(data, size, 20 + 12 * p),
                                 floatAt(data, size, 24 + 12 * p));
        const glm::vec2 texCoord(floatAt(data, size, texAt + 8 * u),
                                 floatAt(data, size, texAt + 8 * u + 4));
        const glm::vec3 normal(floatAt(data, size, normalAt + 12 * n),
                               floatAt(data, size, normalAt + 12 * n + 4),
                               floatAt(data, size, normalAt + 12 * n + 8));
        if (!sameBits(&positions[2 + c], &position, 12)
            || !sameBits(&texCoords[1 + c], &texCoord, 8) || !sameBits(&normals[c], &normal, 12))
            return "corner " + std::to_string(c) + " differs from the file";
    }
    return {};
}

std::string checkNwa(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Tarvo::NwaFile nwa;
    std::string error;
    if (!Tarvo::parseNwa(in, nwa, error)) {
        if (error.empty())
            return "rejected without a reason";
        return {};
    }
    if (nwa.partNames.empty() || nwa.spacing <= 0 || nwa.length < nwa.spacing)
        return "accepted a file that cannot animate";
    std::size_t keyCount = 0;
    const double times[] = {0.0, 0.5, 25.0, 95.0, 100.0, -7.5, -1e9, 1e12, 3e38,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(), double(nwa.length)};
    for (std::size_t p = 0; p < nwa.partNames.size(); ++p) {
        Tarvo::AniPart part;
        part.length = nwa.length;
        part.spacing = nwa.spacing;
        part.keys = nwa.partKeys(p);
        keyCount += part.keys.size();
        const Tarvo::AniKey first = part.keys.empty() ? Tarvo::AniKey{} : part.keys[0];
        // Equal as numbers: blending with weight 0 may turn -0 into +0.
        const Tarvo::AniKey atZero = part.evaluate(0.0);
        if (atZero.position != first.position || atZero.rotation != first.rotation)
            return "time 0 does not give key 0";
        for (double t : times)
            (void)part.evaluate(t);
    }
    if (keyCount != nwa.keys.size())
        return "the parts' keys do not add up to the file's keys";
    return {};
}

std::string checkPlyHeader(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    const bool read = Tarvo::readPlyHeader(in);
    bool expected = false;
    std::size_t start = 0;
    while (start <= text.size() && !expected) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        expected = (line == "end_header");
        start = end + 1;
    }
    if (read != expected)
        return read ? "header end found where there is none" : "header end missed";
    return {};
}

} // namespace meshfuzz
