// Writing the generated data files: OBJ text (read by the OBJ reader), binary ".bobj"
// meshes and other text such as animations, each whole or not at all, into folders made
// as needed. Failures are reported on standard error as "assetgen: cannot write PATH: why".
#pragma once

#include <string>

#include "mesh/ObjReader.h"

namespace assetgen {

// Writes the mesh as OBJ text through the mesh library's writer; its first line names
// what the mesh is and counts its triangles.
bool writeObjFile(const std::string& path, const Tarvo::ObjMesh& mesh, const std::string& title);

// Writes a ".bobj" file through the mesh library's writer.
bool writeBinaryMeshFile(const std::string& path, const Tarvo::ObjMesh& mesh);

// Writes text as the whole file.
bool writeTextFile(const std::string& path, const std::string& text);

// Creates the folders that `path` will be written into.
bool makeParentDirectories(const std::string& path);

} // namespace assetgen
