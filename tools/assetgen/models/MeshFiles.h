// Writing the show's mesh files: OBJ text (the sky box and the animation parts, read by
// the OBJ reader) and binary ".bobj" meshes (the bridge and the static truck).
#pragma once

#include <string>

#include "mesh/ObjReader.h"

namespace assetgen::models {

// Writes "v", "vt", "vn" and "f p/t/n p/t/n p/t/n" lines, after a comment line naming
// what the mesh is. Texture coordinates are written as they are: the reader does not
// flip them. False, with a message on standard error, when the file cannot be written.
bool writeObjFile(const std::string& path, const Tarvo::ObjMesh& mesh, const std::string& title);

// Writes a ".bobj" file through the mesh library's writer.
bool writeBinaryMeshFile(const std::string& path, const Tarvo::ObjMesh& mesh);

// Creates the directories that `path` will be written into.
bool makeParentDirectories(const std::string& path);

} // namespace assetgen::models
