// Wavefront OBJ writing, in the subset the OBJ reader takes: a comment line, the "v",
// "vt" and "vn" pools, then one "f p/t/n p/t/n p/t/n" line per triangle. Every number
// is the shortest decimal that reads back as the same float, so a mesh written here and
// read by ObjReader is the mesh that was built, to the bit.
#pragma once

#include <string>

namespace Tarvo {

struct ObjMesh;

// The OBJ text of a mesh; the comment becomes the first line (line breaks in it become
// spaces, so it cannot add records). Indices are written as they are.
std::string objText(const ObjMesh& mesh, const std::string& comment);

// Writes objText to path, whole or not at all (through a part file renamed into place).
// Refuses, writing nothing, a mesh whose triangles are incomplete or whose indices fall
// outside their pools: the reader would refuse the file. False, with why set, on any
// failure; the folder must exist.
bool writeObjMesh(const std::string& path, const ObjMesh& mesh, const std::string& comment,
                  std::string& why);

} // namespace Tarvo
