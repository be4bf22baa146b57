// OBJ files as modelling programs export them, turned into the engine's mesh: polygons of
// any size fanned into triangles, "f v", "f v/t", "f v//n" and "f v/t/n" corners,
// negative (relative) indices, groups, objects and materials (ignored). Corners without
// a normal get a smooth one computed from the faces around their position; corners
// without texture coordinates get (0, 0). The result holds every index of every corner,
// so the engine's OBJ and ".bobj" writers take it as it is.
#pragma once

#include <cstddef>
#include <string>

namespace Tarvo { struct ObjMesh; }

namespace meshtool {

struct ImportReport {
    std::size_t faces = 0;
    std::size_t triangles = 0;
    std::size_t computedNormals = 0; // positions that were given a smooth normal
    bool zeroTexCoords = false;      // some corner had no texture coordinates
};

// Reads OBJ text; name is used in messages. False, with why saying what and where (the
// line, or the face counted from 1), when a number is not finite or not a number, a face
// has fewer than three corners or an index outside its pool, there are no faces, or the
// mesh is too large for 32-bit indices; mesh is then untouched.
bool importObjText(const std::string& text, const std::string& name, Tarvo::ObjMesh& mesh,
    ImportReport& report, std::string& why);
// The same for a file; one that cannot be read is an error like any other.
bool importObjFile(const std::string& path, Tarvo::ObjMesh& mesh, ImportReport& report, std::string& why);

} // namespace meshtool
