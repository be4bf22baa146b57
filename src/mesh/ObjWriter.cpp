// OBJ text. writeShortest gives the shortest form that parses back to the same float,
// which is also short enough for the reader's fast path in most cases ("0.25", "-1.3").
#include "mesh/ObjWriter.h"

#include <charconv>
#include <cstdint>

#include "base/AtomicFile.h"
#include "base/FloatText.h"
#include "mesh/MeshCorners.h"
#include "mesh/ObjReader.h"

namespace Tarvo {

namespace {

template <int N>
void appendRecord(std::string& text, const char* keyword, const float (&values)[N])
{
    char line[16 + N * 24];
    char* at = line;
    for (const char* k = keyword; *k; ++k)
        *at++ = *k;
    for (float value : values) {
        *at++ = ' ';
        at = writeShortest(at, line + sizeof line, value);
    }
    *at++ = '\n';
    text.append(line, at);
}

bool checkMesh(const ObjMesh& mesh, std::string& why)
{
    if (mesh.corners.size() % 9 != 0) {
        why = "the last triangle is incomplete (" + std::to_string(mesh.corners.size())
              + " indices)";
        return false;
    }
    const MeshPoolSizes pools{mesh.positions.size(), mesh.texCoords.size(), mesh.normals.size()};
    for (std::size_t t = 0; t < mesh.triangleCount(); ++t) {
        const std::int32_t* c = mesh.corners.data() + 9 * t;
        const std::int64_t indices[9] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
        if (!checkTriangleIndices(indices, pools, t, why))
            return false;
    }
    return true;
}

} // namespace

std::string objText(const ObjMesh& mesh, const std::string& comment)
{
    std::string text = "# ";
    for (char c : comment)
        text += c == '\n' || c == '\r' ? ' ' : c;
    text += '\n';
    text.reserve(text.size() + 40 * (mesh.positions.size() + mesh.normals.size())
                 + 30 * mesh.texCoords.size() + 40 * mesh.triangleCount());
    for (const glm::vec3& p : mesh.positions)
        appendRecord(text, "v", {p.x, p.y, p.z});
    for (const glm::vec2& t : mesh.texCoords)
        appendRecord(text, "vt", {t.x, t.y});
    for (const glm::vec3& n : mesh.normals)
        appendRecord(text, "vn", {n.x, n.y, n.z});
    for (std::size_t i = 0; i + 8 < mesh.corners.size(); i += 9) {
        char line[128];
        char* at = line;
        *at++ = 'f';
        for (int k = 0; k < 9; ++k) {
            *at++ = k % 3 == 0 ? ' ' : '/';
            at = std::to_chars(at, line + sizeof line, mesh.corners[i + k]).ptr;
        }
        *at++ = '\n';
        text.append(line, at);
    }
    return text;
}

bool writeObjMesh(const std::string& path, const ObjMesh& mesh, const std::string& comment,
                  std::string& why)
{
    if (!checkMesh(mesh, why))
        return false;
    const std::string text = objText(mesh, comment);
    return writeFileAtomically(path, text.data(), text.size(), why);
}

} // namespace Tarvo
