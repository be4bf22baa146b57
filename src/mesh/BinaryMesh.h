// The ".bobj" binary mesh: the pools and triangles of an OBJ mesh as raw little-endian
// numbers (four u32 counts Np, Nt, Nn, Ni, then the records), read into the same
// per-corner arrays as OBJ text, without parsing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace Tarvo {

struct ObjMesh;

// Reads a ".bobj" file and appends its corners to the outputs (never cleared first).
// Prints the four counts. True when read; false when the file cannot be opened, its
// counts promise more data than it holds, or an index falls outside its pool.
bool loadBinaryMesh(const char* path, std::vector<glm::vec3>& out_vertices,
                    std::vector<glm::vec2>& out_uvs, std::vector<glm::vec3>& out_normals);

// The same from the file's bytes in memory; name is used in messages only.
bool readBinaryMesh(const char* data, std::size_t size, const char* name,
                    std::vector<glm::vec3>& positions, std::vector<glm::vec2>& texCoords,
                    std::vector<glm::vec3>& normals);

// Writes a mesh whose indices have been checked as a ".bobj" file, whole or not at all.
// Prints why and returns false when the file cannot be written or the mesh is too large
// for the format.
bool writeBinaryMesh(const char* path, const ObjMesh& mesh);
// The same, saying nothing: false with why holding the reason.
bool writeBinaryMesh(const char* path, const ObjMesh& mesh, std::string& why);

} // namespace Tarvo
