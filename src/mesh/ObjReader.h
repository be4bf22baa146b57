// Wavefront OBJ reading: the subset the demo's exporter writes ("v", "vt", "vn" and
// triangles whose corners carry position/texture-coordinate/normal indices), turned into
// the non-indexed per-corner arrays that models draw as a plain triangle list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "mesh/MeshMemory.h"

namespace Tarvo {

// A face index that does not fit 32 bits: out of range whatever the pools hold. Its
// corner holds 0, which no pool accepts; messages quote the number as written.
struct WideIndex {
    std::size_t triangle = 0; // 0-based, counted from the mesh's first triangle
    int slot = 0;             // 0 to 8: position, texture coordinate, normal per corner
    std::string text;
};

// An OBJ file as written: the three pools in file order and nine 1-based indices per
// triangle (position, texture coordinate, normal for corner 1, then corners 2 and 3).
struct ObjMesh {
    LargeArray<glm::vec3> positions;
    LargeArray<glm::vec2> texCoords;
    LargeArray<glm::vec3> normals;
    LargeArray<std::int32_t> corners;
    // The first too-wide index read; any later one is never the first bad index.
    std::optional<WideIndex> wideIndex;

    std::size_t triangleCount() const { return corners.size() / 9; }
};

// Reads OBJ text held in memory. The text is read word by word and number by number with
// exactly the rules of reading the file with scanf ("%s" keywords, "%f %f %f\n" vertices,
// "%d/%d/%d %d/%d/%d %d/%d/%d\n" faces, other lines skipped 999 characters at a time), so
// files outside the exporter's subset come out the same as they always have; only a face
// index too wide for 32 bits is kept as out of range (see WideIndex) where scanf would
// wrap it. Returns false at the first face that does not match; failWord then holds the
// word at which matching stopped. Indices are not checked here.
bool parseObjText(const char* text, std::size_t size, ObjMesh& mesh, std::string& failWord);

// Reads a whole OBJ file with parseObjText, printing the reader's progress and failure
// lines. Indices are not checked here.
bool readObjFile(const char* path, ObjMesh& mesh);

// Checks that every index of every triangle points into its pool; prints why not.
bool checkObjMesh(const char* path, const ObjMesh& mesh);

// Checks the nine indices of one triangle against mesh's pools; on a bad one writes the
// reason, with a too-wide index quoted as written.
bool checkObjTriangle(const ObjMesh& mesh, const std::int32_t* indices, std::size_t triangle,
                      std::string& reason);

// Appends one entry per triangle corner to the three outputs, after checking that every
// index points into its pool; on a bad index prints why and appends nothing.
bool expandObjMesh(const char* path, const ObjMesh& mesh, std::vector<glm::vec3>& positions,
                   std::vector<glm::vec2>& texCoords, std::vector<glm::vec3>& normals);

// Reads OBJ text held in memory straight into per-corner outputs, as loadOBJ does after
// opening the file; name is used in messages. On any failure the outputs are as before.
bool loadObjText(const char* name, const char* text, std::size_t size,
                 std::vector<glm::vec3>& positions, std::vector<glm::vec2>& texCoords,
                 std::vector<glm::vec3>& normals);

// Reads an OBJ file and appends its corners to the outputs (never cleared first).
// True when the whole file was read and every index was inside its pool.
bool loadOBJ(const char* path, std::vector<glm::vec3>& out_vertices,
             std::vector<glm::vec2>& out_uvs, std::vector<glm::vec3>& out_normals);

} // namespace Tarvo
