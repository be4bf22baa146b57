// A small indexed-mesh builder for the alternative scenes' meshes: flat quads, boxes,
// solids of revolution and height fields with their normals and texture coordinates.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <glm/glm.hpp>

#include "mesh/ObjReader.h"

namespace assetgen::scenes {

// One point of a profile revolved about the y axis: height and distance from the axis.
struct ProfilePoint {
    float y = 0.0f;
    float radius = 0.0f;
};

class SceneMeshBuilder {
public:
    // 1-based indices of the entries just added, as OBJ faces refer to them.
    std::int32_t addPosition(const glm::vec3& p);
    std::int32_t addTexCoord(const glm::vec2& t);
    // Normalised here; a zero vector becomes +y rather than NaN.
    std::int32_t addNormal(const glm::vec3& n);

    struct Corner {
        std::int32_t position;
        std::int32_t texCoord;
        std::int32_t normal;
    };
    void addTriangle(const Corner& a, const Corner& b, const Corner& c);

    // A planar quad p0 p1 p2 p3 (counter-clockwise seen from the side `normal` points to),
    // with texture coordinates in the same corner order.
    void addQuad(const glm::vec3 (&p)[4], const glm::vec3& normal, const glm::vec2 (&uv)[4]);
    // An axis-aligned box with outward faces; texture coordinates are metres / uvScale.
    void addBox(const glm::vec3& min, const glm::vec3& max, float uvScale = 1.0f, bool inward = false);
    // The profile (bottom to top) revolved about the vertical axis through `centre` in
    // `segments` steps, smoothly shaded around and creased between profile segments.
    // Points with radius 0 close the solid.
    void addLathe(const glm::vec3& centre, const std::vector<ProfilePoint>& profile, int segments);
    // A grid of cells x cells over [-halfSize, halfSize]^2 in x and z with heights from
    // `height`; normals by central differences, texture coordinates metres / uvScale.
    void addHeightField(float halfSize, int cells, const std::function<float(float, float)>& height,
                        float uvScale);

    const Tarvo::ObjMesh& mesh() const { return result; }

private:
    Tarvo::ObjMesh result;
};

} // namespace assetgen::scenes
