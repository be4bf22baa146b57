// OBJ files as modelling programs export them, turned into the engine's mesh: polygons of
// any size cut into triangles (convex ones fanned, concave ones ear-clipped), "f v", "f v/t", "f v//n" and "f v/t/n" corners,
// negative (relative) indices, groups, objects and materials (ignored). Corners without
// a normal get a smooth one computed from the faces around their position; corners
// without texture coordinates get (0, 0). The result holds every index of every corner,
// so the engine's OBJ and ".bobj" writers take it as it is.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace Tarvo { struct ObjMesh; }

namespace meshtool {

struct ImportReport {
    std::size_t faces = 0;
    std::size_t triangles = 0;
    std::size_t computedNormals = 0; // positions that were given a smooth normal
    bool zeroTexCoords = false;      // some corner had no texture coordinates
};

// Three corners of a polygon, by their places in it.
using Triangle = std::array<std::size_t, 3>;
// Cuts a simple polygon into triangles that keep its winding and cover exactly its area:
// a convex one as a fan from its first corner, a concave one (outlines, lettering) by
// clipping ears in its own plane. False for a polygon whose edges cross.
bool triangulate(const std::vector<glm::dvec3>& polygon, std::vector<Triangle>& triangles);

// Reads OBJ text; name is used in messages. False, with why saying what and where (the
// line, and the face counted from 1), when a number is not finite or not a number, a face
// has fewer than three corners, an index outside its pool (the first such, as written) or
// edges that cross, there are no faces, or the mesh is too large for 32-bit indices; mesh
// is then untouched.
bool importObjText(const std::string& text, const std::string& name, Tarvo::ObjMesh& mesh,
    ImportReport& report, std::string& why);
// The same for a file; one that cannot be read is an error like any other.
bool importObjFile(const std::string& path, Tarvo::ObjMesh& mesh, ImportReport& report, std::string& why);

} // namespace meshtool
