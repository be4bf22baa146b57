// Builds indexed triangle meshes from parametric parts (blocks, boxes, beams, prisms,
// solids of revolution, height fields), with normals and texture coordinates, into the
// OBJ-shaped pools that the show's mesh files store. Shared positions, coordinates and
// normals are stored once. Both mesh generators (the show's models and the alternative
// scenes' meshes) build with it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include <glm/glm.hpp>

#include "geometry/Materials.h"
#include "mesh/ObjReader.h"

namespace assetgen {

struct MeshVertex {
    glm::vec3 position{0.0f};
    glm::vec2 uv{0.0f};
    glm::vec3 normal{0.0f, 1.0f, 0.0f};
};

// One point of a profile that addLathe revolves: axial position along the local x axis
// and distance from it.
struct LathePoint {
    float axial = 0.0f;
    float radius = 0.0f;
};

// The profile's length from its first point to its last.
float profileLength(const std::vector<LathePoint>& profile);

// How addBox lays texture coordinates on its faces.
enum class BoxTexture {
    // Metres in each face's plane over the uv scale, as addFlatQuad: boxes side by side
    // continue one texture.
    Planar,
    // Each face from the box's low corner along the next two axes in x, y, z order (an x
    // face runs along y then z, a y face along z then x, a z face along x then y), over
    // the uv scale: a box as large as the uv scale shows the whole texture on every face.
    PerFace,
};

// A height field: the grid points (corner + i * cell) in x and z for i up to the cell
// counts, normals by central differences over slopeStep either side, texture coordinates
// ((x, z) - uvOrigin) / uvMetres. Two triangles a cell.
struct HeightGrid {
    glm::vec2 corner{0.0f};
    glm::vec2 cell{1.0f};
    int cellsX = 0;
    int cellsZ = 0;
    float slopeStep = 1.0f;
    glm::vec2 uvOrigin{0.0f};
    float uvMetres = 1.0f;
};

class MeshBuilder {
public:
    MeshBuilder();

    // Everything added afterwards is placed by the current transform; push multiplies
    // onto it, pop restores the one before. Normals follow by the inverse transpose.
    void pushTransform(const glm::mat4& m);
    void popTransform();
    const glm::mat4& transform() const { return stack.back(); }

    // Texture coordinates of planar faces are their metres divided by this.
    void setUvScale(float metresPerUnit) { uvScale = metresPerUnit; }
    // Everything added afterwards carries this material in its texture coordinates
    // (Materials.h); appended meshes keep the materials they were built with.
    void setMaterial(Material m) { material = m; }
    Material currentMaterial() const { return material; }

    // A triangle whose front is the side its normals point to: the winding is turned to
    // match them, so callers need not track orientation. Zero-area triangles are dropped.
    void addTriangle(MeshVertex a, MeshVertex b, MeshVertex c);
    // A flat, planar, convex quad whose front faces `outward`.
    void addFlatQuad(const glm::vec3& p0, const glm::vec3& p1, const glm::vec3& p2,
                     const glm::vec3& p3, const glm::vec3& outward);
    // A flat convex polygon whose front faces `outward`.
    void addFlatPolygon(const std::vector<glm::vec3>& points, const glm::vec3& outward);

    // A six-faced solid from its eight corners: corner i sits at the +u end when bit 0
    // of i is set, +v for bit 1, +w for bit 2, in any frame. Faces point away from the
    // block's centre and are flat-shaded.
    // Inward blocks face their centre instead (a room, a sky box seen from inside).
    void addBlock(const std::array<glm::vec3, 8>& corners, bool inward = false);
    void addBox(const glm::vec3& min, const glm::vec3& max, BoxTexture texture = BoxTexture::Planar,
                bool inward = false);
    // A box from a to b with the given cross-section; `up` picks which way its height
    // points (it need not be exactly perpendicular to the beam).
    void addBeam(const glm::vec3& a, const glm::vec3& b, float width, float height,
                 const glm::vec3& up = glm::vec3(0.0f, 1.0f, 0.0f));

    // The outline (counter-clockwise in x-y, any simple polygon) extruded from z0 to z1,
    // capped at both ends. Side edges turning by less than smoothDegrees share normals,
    // so a polygonal circle shades round.
    void addPrism(const std::vector<glm::vec2>& outline, float z0, float z1,
                  float smoothDegrees = 0.0f);

    // The profile revolved a full turn about the local x axis in `segments` steps. The
    // outward side of each profile segment is to the left of its direction of travel
    // in the (axial, radius) plane. Creases where the profile turns by more than
    // creaseDegrees; points on the axis close the solid.
    void addLathe(const std::vector<LathePoint>& profile, int segments,
                  float creaseDegrees = 40.0f);
    // A closed cylinder (or truncated cone) from a to b.
    void addCylinder(const glm::vec3& a, const glm::vec3& b, float radius, int segments,
                     bool caps = true);
    void addFrustum(const glm::vec3& a, const glm::vec3& b, float radiusA, float radiusB,
                    int segments, bool caps = true);

    // Ground from `height` over the grid, facing up (+y).
    void addHeightField(const HeightGrid& grid, const std::function<float(float, float)>& height);
    // The same over grid lines at the given x and z values (each increasing), so cells
    // can be finer where the ground is seen from near; uvOrigin, uvMetres and slopeStep
    // come from `grid`, its corner, cell size and counts are not used.
    void addHeightField(const std::vector<float>& xs, const std::vector<float>& zs, const HeightGrid& grid,
                        const std::function<float(float, float)>& height);

    const Tarvo::ObjMesh& mesh() const { return result; }
    std::size_t triangleCount() const { return result.triangleCount(); }
    // Adds another mesh's triangles, placed by the current transform.
    void append(const Tarvo::ObjMesh& other);

private:
    struct KeyHash {
        std::size_t operator()(const std::array<std::uint32_t, 3>& k) const;
    };
    using Pool = std::unordered_map<std::array<std::uint32_t, 3>, std::int32_t, KeyHash>;

    template <class Values, class Vector>
    static std::int32_t intern(Pool& pool, Values& values, const Vector& v);
    void emit(const MeshVertex& v);

    std::vector<glm::mat4> stack;
    float uvScale = 1.0f;
    Material material = Material::Plain;
    Tarvo::ObjMesh result;
    Pool positionPool;
    Pool uvPool;
    Pool normalPool;
};

// A frame that maps the local x axis onto the direction from a to b, with its origin at a.
glm::mat4 frameAlong(const glm::vec3& a, const glm::vec3& b,
                     const glm::vec3& upHint = glm::vec3(0.0f, 1.0f, 0.0f));

} // namespace assetgen
