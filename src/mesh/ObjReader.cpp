// OBJ text to per-corner arrays. The file is read into memory once and parsed with
// ScanfCursor, which keeps the word-and-format reading the meshes were always read
// with, at a fraction of the cost of a scanf call per number.
#include "mesh/ObjReader.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "mesh/MeshCorners.h"
#include "mesh/ScanfCursor.h"

namespace Tarvo {

namespace {

// Longest keyword ("%127s") and longest word quoted after a failed face ("%511s").
constexpr std::size_t kMaxKeyword = 127;
constexpr std::size_t kMaxFailWord = 511;

// A keyword compares as a C string would: up to its first zero byte.
bool keywordIs(const char* word, std::size_t length, const char* keyword)
{
    const void* zero = std::memchr(word, '\0', length);
    if (zero)
        length = static_cast<std::size_t>(static_cast<const char*>(zero) - word);
    const std::size_t keywordLength = std::strlen(keyword);
    return length == keywordLength && std::memcmp(word, keyword, length) == 0;
}

// "%f %f %f\n" and "%f %f\n": components that do not match stay 0 and the rest of the
// format is abandoned, exactly where fscanf would stop.
template <int N>
void scanFloats(ScanfCursor& cursor, float (&values)[N])
{
    for (int i = 0; i < N; ++i) {
        if (!cursor.scanFloat(values[i]))
            return;
    }
    cursor.skipSpace();
}

// "%d/%d/%d %d/%d/%d %d/%d/%d\n": true only when all nine numbers matched.
bool scanFace(ScanfCursor& cursor, std::int32_t (&indices)[9])
{
    for (int corner = 0; corner < 3; ++corner) {
        std::int32_t* c = indices + 3 * corner;
        if (!cursor.scanInt(c[0]) || !cursor.matchChar('/') || !cursor.scanInt(c[1])
            || !cursor.matchChar('/') || !cursor.scanInt(c[2]))
            return false;
    }
    cursor.skipSpace();
    return true;
}

// The whole file as bytes. Text mode changes nothing on this platform.
bool readWholeFile(std::FILE* file, std::unique_ptr<char[]>& data, std::size_t& size)
{
    std::size_t capacity = 1 << 16;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long length = std::ftell(file);
        if (length > 0)
            capacity = static_cast<std::size_t>(length) + 1;
        std::rewind(file);
    }
    data.reset(new char[capacity]);
    size = 0;
    for (;;) {
        size += std::fread(data.get() + size, 1, capacity - size, file);
        if (size < capacity)
            return !std::ferror(file);
        std::unique_ptr<char[]> bigger(new char[capacity * 2]);
        std::memcpy(bigger.get(), data.get(), size);
        data = std::move(bigger);
        capacity *= 2;
    }
}

} // namespace

bool parseObjText(const char* text, std::size_t size, ObjMesh& mesh, std::string& failWord)
{
    ScanfCursor cursor(text, size);
    const char* word = nullptr;
    std::size_t length = 0;
    while (cursor.readWord(kMaxKeyword, word, length)) {
        if (keywordIs(word, length, "v")) {
            float v[3] = {0.0f, 0.0f, 0.0f};
            scanFloats(cursor, v);
            mesh.positions.emplace_back(v[0], v[1], v[2]);
        } else if (keywordIs(word, length, "vt")) {
            float v[2] = {0.0f, 0.0f};
            scanFloats(cursor, v);
            mesh.texCoords.emplace_back(v[0], v[1]);
        } else if (keywordIs(word, length, "vn")) {
            float v[3] = {0.0f, 0.0f, 0.0f};
            scanFloats(cursor, v);
            mesh.normals.emplace_back(v[0], v[1], v[2]);
        } else if (keywordIs(word, length, "f")) {
            std::int32_t indices[9];
            if (!scanFace(cursor, indices)) {
                failWord.clear();
                if (cursor.readWord(kMaxFailWord, word, length))
                    failWord.assign(word, ::strnlen(word, length));
                return false;
            }
            mesh.corners.insert(mesh.corners.end(), indices, indices + 9);
        } else {
            cursor.skipLine();
        }
    }
    return true;
}

bool readObjFile(const char* path, ObjMesh& mesh)
{
    if (!path)
        path = "";
    std::printf("Loading OBJ file %s...\n", path);
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        std::printf("Impossible to open the file!\n");
        return false;
    }
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    const bool read = readWholeFile(file, data, size);
    std::fclose(file);
    if (!read) {
        std::printf("Impossible to read the file!\n");
        return false;
    }
    std::string failWord;
    if (!parseObjText(data.get(), size, mesh, failWord)) {
        std::printf("A failed attempt to parse %s. Better luck next time.\n", path);
        std::printf("Fail line: %s\n", failWord.c_str());
        return false;
    }
    return true;
}

bool checkObjMesh(const char* path, const ObjMesh& mesh)
{
    const MeshPoolSizes pools{mesh.positions.size(), mesh.texCoords.size(), mesh.normals.size()};
    std::string reason;
    for (std::size_t t = 0; t < mesh.triangleCount(); ++t) {
        const std::int32_t* c = mesh.corners.data() + 9 * t;
        const std::int64_t indices[9] = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
        if (!checkTriangleIndices(indices, pools, t, reason)) {
            std::printf("Bad index in %s: %s\n", path, reason.c_str());
            return false;
        }
    }
    return true;
}

bool expandObjMesh(const char* path, const ObjMesh& mesh, std::vector<glm::vec3>& positions,
                   std::vector<glm::vec2>& texCoords, std::vector<glm::vec3>& normals)
{
    if (!checkObjMesh(path, mesh))
        return false;
    const std::size_t triangles = mesh.triangleCount();
    MeshOutput output(positions, texCoords, normals);
    output.reserveMore(3 * triangles);
    for (std::size_t i = 0; i < 3 * triangles; ++i) {
        const std::int32_t* c = mesh.corners.data() + 3 * i;
        output.append(mesh.positions[c[0] - 1], mesh.texCoords[c[1] - 1], mesh.normals[c[2] - 1]);
    }
    return true;
}

bool loadOBJ(const char* path, std::vector<glm::vec3>& out_vertices,
             std::vector<glm::vec2>& out_uvs, std::vector<glm::vec3>& out_normals)
{
    ObjMesh mesh;
    if (!readObjFile(path, mesh))
        return false;
    return expandObjMesh(path, mesh, out_vertices, out_uvs, out_normals);
}

} // namespace Tarvo
