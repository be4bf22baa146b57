// tinyobjloader reads the file through its callback interface, which hands over every
// face exactly as written, so that short faces and bad indices are refused with a reason
// instead of being skipped, as its other interface does.
#include "ObjImport.h"

#include "mesh/MeshMemory.h"
#include "mesh/ObjReader.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace meshtool {

namespace {

// One corner of a face as 0-based indices into the file's pools; -1 where the file gave
// none (texture coordinate or normal).
struct Corner {
    std::int64_t position;
    std::int64_t texCoord;
    std::int64_t normal;
    int written[3]; // as the file wrote them, for messages
};

struct Reading {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;
    std::vector<Corner> corners;
    std::vector<std::size_t> faceStarts; // into corners, one per face
    std::string error;                   // the first problem met

    std::size_t faceEnd(std::size_t face) const
    {
        return face + 1 < faceStarts.size() ? faceStarts[face + 1] : corners.size();
    }
};

// An index as written: positive from the first element, negative back from the last one
// read so far, zero for none.
std::int64_t resolve(int written, std::size_t countSoFar)
{
    if (written > 0)
        return std::int64_t(written) - 1;
    if (written < 0)
        return std::int64_t(countSoFar) + written;
    return -1;
}

void onVertex(void* data, tinyobj::real_t x, tinyobj::real_t y, tinyobj::real_t z, tinyobj::real_t)
{
    static_cast<Reading*>(data)->positions.emplace_back(x, y, z);
}

void onNormal(void* data, tinyobj::real_t x, tinyobj::real_t y, tinyobj::real_t z)
{
    static_cast<Reading*>(data)->normals.emplace_back(x, y, z);
}

void onTexCoord(void* data, tinyobj::real_t u, tinyobj::real_t v, tinyobj::real_t)
{
    static_cast<Reading*>(data)->texCoords.emplace_back(u, v);
}

void onFace(void* data, tinyobj::index_t* indices, int count)
{
    Reading& reading = *static_cast<Reading*>(data);
    const std::size_t face = reading.faceStarts.size() + 1;
    if (!reading.error.empty())
        return;
    if (count < 3) {
        reading.error = "face " + std::to_string(face) + " has " + std::to_string(count)
            + (count == 1 ? " corner" : " corners") + "; a face needs at least 3";
        return;
    }
    reading.faceStarts.push_back(reading.corners.size());
    for (int i = 0; i < count; ++i) {
        const tinyobj::index_t& index = indices[i];
        if (index.vertex_index == 0) {
            reading.error = "face " + std::to_string(face) + ", corner " + std::to_string(i + 1)
                + ": no position index (indices count from 1)";
            return;
        }
        reading.corners.push_back({ resolve(index.vertex_index, reading.positions.size()),
            resolve(index.texcoord_index, reading.texCoords.size()),
            resolve(index.normal_index, reading.normals.size()),
            { index.vertex_index, index.texcoord_index, index.normal_index } });
    }
}

bool isFiniteNumber(const std::string& word)
{
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}

// v, v/t, v//n or v/t/n, each a whole number that fits an int.
bool isCorner(const std::string& word)
{
    std::size_t start = 0;
    for (int part = 0; part < 3; ++part) {
        const std::size_t slash = word.find('/', start);
        const std::string text = word.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!text.empty() || part == 0) {
            char* end = nullptr;
            errno = 0;
            const long value = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || end != text.c_str() + text.size() || errno != 0 || value < INT_MIN || value > INT_MAX)
                return false;
        }
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
    return false;
}

// tinyobjloader reads a word that is not a number ("nan" and "inf" among them) as 0, and
// an index too wide for an int as whatever atoi makes of it, which would hide a broken
// export or point a corner at the wrong vertex; the words of "v", "vt", "vn" and "f"
// lines are checked here first so that such a file is refused with its line.
bool checkWords(const std::string& text, std::string& why)
{
    std::istringstream lines(text);
    std::string line;
    for (std::size_t number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string keyword;
        words >> keyword;
        const bool face = keyword == "f";
        const std::size_t least = keyword == "v" || keyword == "vn" ? 3 : keyword == "vt" ? 1 : 0;
        if (least == 0 && !face)
            continue;
        std::size_t count = 0;
        for (std::string word; words >> word; ++count) {
            if (face ? !isCorner(word) : !isFiniteNumber(word)) {
                why = "line " + std::to_string(number) + ": '" + word + "' is not "
                    + (face ? "a corner (v, v/t, v//n or v/t/n in whole numbers)" : "a finite number");
                return false;
            }
        }
        if (count < least) {
            why = "line " + std::to_string(number) + ": '" + keyword + "' needs " + std::to_string(least)
                + (least == 1 ? " number" : " numbers");
            return false;
        }
    }
    return true;
}

bool checkIndices(const Reading& reading, std::string& why)
{
    const auto outside = [](std::int64_t index, std::size_t size) {
        return index < 0 || index >= std::int64_t(size);
    };
    for (std::size_t f = 0; f < reading.faceStarts.size(); ++f) {
        for (std::size_t c = reading.faceStarts[f]; c < reading.faceEnd(f); ++c) {
            const Corner& corner = reading.corners[c];
            const char* pool = nullptr;
            std::size_t size = 0;
            int written = 0;
            if (outside(corner.position, reading.positions.size()))
                pool = "positions", size = reading.positions.size(), written = corner.written[0];
            else if (corner.texCoord != -1 && outside(corner.texCoord, reading.texCoords.size()))
                pool = "texture coordinates", size = reading.texCoords.size(), written = corner.written[1];
            else if (corner.normal != -1 && outside(corner.normal, reading.normals.size()))
                pool = "normals", size = reading.normals.size(), written = corner.written[2];
            if (pool) {
                why = "face " + std::to_string(f + 1) + ", corner " + std::to_string(c - reading.faceStarts[f] + 1)
                    + ": index " + std::to_string(written) + " is outside the " + std::to_string(size) + " " + pool
                    + (written < 0 ? " read before it" : " in the file");
                return false;
            }
        }
    }
    return true;
}

// Smooth normals for the positions that need one: the sum of the area vectors of the
// faces around the position (each face's normal scaled by its area, so larger faces weigh
// more and a quad counts once however it is split), normalised. Summed in double, so that
// coordinates near the float range cannot overflow on the way.
std::vector<glm::vec3> smoothNormals(const Reading& reading, const std::vector<bool>& needed)
{
    std::vector<glm::dvec3> sums(reading.positions.size(), glm::dvec3(0.0));
    for (std::size_t f = 0; f < reading.faceStarts.size(); ++f) {
        const std::size_t first = reading.faceStarts[f];
        const std::size_t end = reading.faceEnd(f);
        const glm::dvec3 p0(reading.positions[std::size_t(reading.corners[first].position)]);
        glm::dvec3 area(0.0);
        for (std::size_t c = first + 1; c + 1 < end; ++c)
            area += glm::cross(glm::dvec3(reading.positions[std::size_t(reading.corners[c].position)]) - p0,
                glm::dvec3(reading.positions[std::size_t(reading.corners[c + 1].position)]) - p0);
        for (std::size_t c = first; c < end; ++c)
            sums[std::size_t(reading.corners[c].position)] += area;
    }
    std::vector<glm::vec3> normals(reading.positions.size(), glm::vec3(0.0f));
    for (std::size_t p = 0; p < sums.size(); ++p) {
        if (!needed[p])
            continue;
        const double length = glm::length(sums[p]);
        // Only degenerate faces touch this position: any direction is as right as any
        // other, and up is what the world's lighting expects.
        normals[p] = length > 0.0 && std::isfinite(length) ? glm::vec3(sums[p] / length) : glm::vec3(0.0f, 1.0f, 0.0f);
    }
    return normals;
}

} // namespace

bool importObjText(const std::string& text, const std::string& name, Tarvo::ObjMesh& mesh,
    ImportReport& report, std::string& why)
{
    if (!checkWords(text, why)) {
        why = name + ": " + why;
        return false;
    }
    Reading reading;
    tinyobj::callback_t callbacks;
    callbacks.vertex_cb = onVertex;
    callbacks.normal_cb = onNormal;
    callbacks.texcoord_cb = onTexCoord;
    callbacks.index_cb = onFace;
    std::istringstream stream(text);
    std::string warnings;
    std::string errors;
    tinyobj::LoadObjWithCallback(stream, callbacks, &reading, nullptr, &warnings, &errors);
    if (reading.error.empty() && !errors.empty())
        reading.error = errors.substr(0, errors.find('\n'));
    if (reading.error.empty() && reading.faceStarts.empty())
        reading.error = "no faces";
    if (reading.error.empty())
        checkIndices(reading, reading.error);
    // The engine's files hold 1-based 32-bit indices.
    const std::size_t largest = std::max({ reading.positions.size(), reading.texCoords.size() + 1,
        reading.normals.size() + reading.positions.size() });
    if (reading.error.empty() && largest >= std::size_t(std::numeric_limits<std::int32_t>::max()))
        reading.error = "too many vertices for 32-bit indices";
    if (!reading.error.empty()) {
        why = name + ": " + reading.error;
        return false;
    }

    ImportReport counts;
    counts.faces = reading.faceStarts.size();
    std::vector<bool> needsNormal(reading.positions.size(), false);
    for (const Corner& corner : reading.corners) {
        if (corner.normal == -1)
            needsNormal[std::size_t(corner.position)] = true;
        counts.zeroTexCoords = counts.zeroTexCoords || corner.texCoord == -1;
    }
    const std::vector<glm::vec3> computed = smoothNormals(reading, needsNormal);

    Tarvo::ObjMesh built;
    built.positions.assign(reading.positions.begin(), reading.positions.end());
    built.texCoords.assign(reading.texCoords.begin(), reading.texCoords.end());
    built.normals.assign(reading.normals.begin(), reading.normals.end());
    const std::int64_t zeroTexCoord = std::int64_t(built.texCoords.size());
    if (counts.zeroTexCoords)
        built.texCoords.emplace_back(0.0f, 0.0f);
    std::vector<std::int64_t> computedIndex(reading.positions.size(), -1);
    for (std::size_t p = 0; p < needsNormal.size(); ++p)
        if (needsNormal[p]) {
            computedIndex[p] = std::int64_t(built.normals.size());
            built.normals.push_back(computed[p]);
            ++counts.computedNormals;
        }

    auto append = [&](const Corner& corner) {
        built.corners.push_back(std::int32_t(corner.position + 1));
        built.corners.push_back(std::int32_t((corner.texCoord == -1 ? zeroTexCoord : corner.texCoord) + 1));
        built.corners.push_back(
            std::int32_t((corner.normal == -1 ? computedIndex[std::size_t(corner.position)] : corner.normal) + 1));
    };
    for (std::size_t f = 0; f < reading.faceStarts.size(); ++f) {
        const std::size_t first = reading.faceStarts[f];
        const std::size_t end = reading.faceEnd(f);
        // A fan from the first corner: exact for the convex polygons exporters write.
        for (std::size_t c = first + 1; c + 1 < end; ++c) {
            append(reading.corners[first]);
            append(reading.corners[c]);
            append(reading.corners[c + 1]);
            ++counts.triangles;
        }
    }
    mesh = std::move(built);
    report = counts;
    return true;
}

bool importObjFile(const std::string& path, Tarvo::ObjMesh& mesh, ImportReport& report, std::string& why)
{
    Tarvo::FileContents file;
    if (!file.open(path.c_str())) {
        why = path + ": cannot read the file";
        return false;
    }
    // A byte order mark (Notepad writes one) is no part of the first statement.
    const bool marked = file.size() >= 3 && std::string_view(file.data(), 3) == "\xEF\xBB\xBF";
    const std::size_t skip = marked ? 3 : 0;
    return importObjText(std::string(file.data() + skip, file.size() - skip), path, mesh, report, why);
}

} // namespace meshtool
