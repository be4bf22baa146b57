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
    std::vector<std::size_t> faceLines;  // the line of each "f", in the file's order
    std::string error;                   // the first problem met

    // "line 12 (face 3)": where a face is, for messages.
    std::string where(std::size_t face) const
    {
        const std::string line = face < faceLines.size() ? "line " + std::to_string(faceLines[face]) + " " : "";
        return line + "(face " + std::to_string(face + 1) + ")";
    }

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
    const std::size_t face = reading.faceStarts.size();
    if (!reading.error.empty())
        return;
    // Short faces were refused with their line before reading.
    reading.faceStarts.push_back(reading.corners.size());
    for (int i = 0; i < count; ++i) {
        const tinyobj::index_t& index = indices[i];
        if (index.vertex_index == 0) {
            reading.error = reading.where(face) + ", corner " + std::to_string(i + 1)
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
bool checkWords(const std::string& text, std::vector<std::size_t>& faceLines, std::string& why)
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
        if (face && count < 3) {
            why = "line " + std::to_string(number) + ": a face needs at least 3 corners, this one has "
                + std::to_string(count);
            return false;
        }
        if (face)
            faceLines.push_back(number);
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
                why = reading.where(f) + ", corner " + std::to_string(c - reading.faceStarts[f] + 1)
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

bool triangulate(const std::vector<glm::dvec3>& polygon, std::vector<Triangle>& triangles)
{
    triangles.clear();
    const std::size_t n = polygon.size();
    const auto fan = [&] {
        for (std::size_t c = 1; c + 1 < n; ++c)
            triangles.push_back({ 0, c, c + 1 });
        return true;
    };
    // Newell's normal: the polygon's area vector, right for concave polygons too. A face
    // with no area has nothing to get wrong; a triangle has one way to be cut.
    glm::dvec3 normal(0.0);
    for (std::size_t i = 0; i < n; ++i)
        normal += glm::cross(polygon[i], polygon[(i + 1) % n]);
    if (n == 3 || !(glm::length(normal) > 0.0))
        return fan();

    // In the plane the normal is most nearly across, turned so the polygon runs
    // counter-clockwise there.
    const glm::dvec3 a = glm::abs(normal);
    const int drop = a.x >= a.y && a.x >= a.z ? 0 : a.y >= a.z ? 1 : 2;
    const int u = (drop + 1) % 3, v = (drop + 2) % 3;
    const double sign = normal[drop] > 0.0 ? 1.0 : -1.0;
    std::vector<glm::dvec2> flat;
    for (const glm::dvec3& p : polygon)
        flat.emplace_back(p[u], p[v] * sign);
    const auto cross2 = [](const glm::dvec2& o, const glm::dvec2& p, const glm::dvec2& q) {
        return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x);
    };

    // Convex: every corner turns left and the turns add up to one full turn (a star
    // drawn in one stroke turns left everywhere, but twice round). Fanned from its first
    // corner, as exporters expect.
    bool convex = true;
    double turning = 0.0;
    for (std::size_t i = 0; i < n && convex; ++i) {
        const glm::dvec2 d0 = flat[(i + 1) % n] - flat[i], d1 = flat[(i + 2) % n] - flat[(i + 1) % n];
        const double turn = d0.x * d1.y - d0.y * d1.x;
        convex = turn >= 0.0;
        turning += std::atan2(turn, glm::dot(d0, d1));
    }
    constexpr double fullTurn = 6.283185307179586;
    if (convex && std::fabs(turning - fullTurn) < 1e-6)
        return fan();

    // Edges that cross make no polygon to cut.
    const auto crosses = [&](std::size_t i, std::size_t j) {
        const glm::dvec2 &p0 = flat[i], &p1 = flat[(i + 1) % n], &q0 = flat[j], &q1 = flat[(j + 1) % n];
        const double a0 = cross2(p0, p1, q0), a1 = cross2(p0, p1, q1);
        const double b0 = cross2(q0, q1, p0), b1 = cross2(q0, q1, p1);
        return ((a0 > 0.0 && a1 < 0.0) || (a0 < 0.0 && a1 > 0.0)) && ((b0 > 0.0 && b1 < 0.0) || (b0 < 0.0 && b1 > 0.0));
    };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n; ++j)
            if ((j + 1) % n != i && crosses(i, j))
                return false;

    // Ear clipping: a corner that turns left and whose triangle holds no other corner
    // (one on its edge counts as inside) is cut off, until a triangle is left.
    std::vector<std::size_t> left(n);
    for (std::size_t i = 0; i < n; ++i)
        left[i] = i;
    while (left.size() > 3) {
        const std::size_t m = left.size();
        bool clipped = false;
        for (std::size_t k = 0; k < m && !clipped; ++k) {
            const std::size_t i0 = left[(k + m - 1) % m], i1 = left[k], i2 = left[(k + 1) % m];
            const glm::dvec2 &p0 = flat[i0], &p1 = flat[i1], &p2 = flat[i2];
            if (!(cross2(p0, p1, p2) > 0.0))
                continue;
            bool empty = true;
            for (const std::size_t j : left) {
                if (j == i0 || j == i1 || j == i2)
                    continue;
                if (cross2(p0, p1, flat[j]) >= 0.0 && cross2(p1, p2, flat[j]) >= 0.0 && cross2(p2, p0, flat[j]) >= 0.0) {
                    empty = false;
                    break;
                }
            }
            if (!empty)
                continue;
            triangles.push_back({ i0, i1, i2 });
            left.erase(left.begin() + std::ptrdiff_t(k));
            clipped = true;
        }
        // Only corners in a straight line are left (they add no area): they close the
        // face as a fan of slivers rather than leave a gap in the mesh.
        if (!clipped) {
            for (std::size_t k = 1; k + 1 < left.size(); ++k)
                triangles.push_back({ left[0], left[k], left[k + 1] });
            return true;
        }
    }
    triangles.push_back({ left[0], left[1], left[2] });
    return true;
}

bool importObjText(const std::string& text, const std::string& name, Tarvo::ObjMesh& mesh,
    ImportReport& report, std::string& why)
{
    Reading reading;
    if (!checkWords(text, reading.faceLines, why)) {
        why = name + ": " + why;
        return false;
    }
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
    std::vector<Triangle> triangles;
    for (std::size_t f = 0; f < reading.faceStarts.size(); ++f) {
        const std::size_t first = reading.faceStarts[f];
        std::vector<glm::dvec3> polygon;
        for (std::size_t c = first; c < reading.faceEnd(f); ++c)
            polygon.emplace_back(reading.positions[std::size_t(reading.corners[c].position)]);
        if (!triangulate(polygon, triangles)) {
            why = name + ": " + reading.where(f) + " is a polygon whose edges cross; split it into simple polygons";
            return false;
        }
        for (const Triangle& t : triangles) {
            for (const std::size_t corner : t)
                append(reading.corners[first + corner]);
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
