// The OBJ reading the meshes were always read with, written the direct way: fscanf on a
// stream, one call per keyword, vertex and face. The buffer reader must give exactly
// what this gives, for any bytes at all.
#pragma once

#include <string>

#include "mesh/ObjReader.h"

namespace meshtest {

bool referenceParseObj(const std::string& text, Tarvo::ObjMesh& mesh, std::string& failWord);

// Empty when both meshes hold the same pools (bit for bit, so NaNs and signed zeros
// count), the same corners and their first too-wide index in the same place; otherwise
// says where they first differ.
std::string compareObjMeshes(const Tarvo::ObjMesh& expected, const Tarvo::ObjMesh& actual);

// Parses the text with the buffer reader (parseObjText) and with the reference, and says
// where they first disagree: on accepting it, on the word where reading stopped, then on
// the mesh. Empty when they agree. The buffer reader's mesh and verdict are kept in
// parsed and accepted.
std::string compareWithReference(const std::string& text, Tarvo::ObjMesh& parsed, bool& accepted);
std::string compareWithReference(const std::string& text);

} // namespace meshtest
