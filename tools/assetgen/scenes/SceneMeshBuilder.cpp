// Shapes are built with their normals first; each triangle's winding is then chosen to
// agree with them, so every front face (counter-clockwise) looks the way it is lit.
#include "SceneMeshBuilder.h"

#include <cmath>

namespace assetgen::scenes {

namespace {

constexpr float twoPi = 6.28318530718f;

glm::vec3 safeNormalize(const glm::vec3& v)
{
    const float length = glm::length(v);
    return length > 1e-12f ? v / length : glm::vec3(0.0f, 1.0f, 0.0f);
}

} // namespace

std::int32_t SceneMeshBuilder::addPosition(const glm::vec3& p)
{
    result.positions.push_back(p);
    return static_cast<std::int32_t>(result.positions.size());
}

std::int32_t SceneMeshBuilder::addTexCoord(const glm::vec2& t)
{
    result.texCoords.push_back(t);
    return static_cast<std::int32_t>(result.texCoords.size());
}

std::int32_t SceneMeshBuilder::addNormal(const glm::vec3& n)
{
    result.normals.push_back(safeNormalize(n));
    return static_cast<std::int32_t>(result.normals.size());
}

void SceneMeshBuilder::addTriangle(const Corner& a, const Corner& b, const Corner& c)
{
    const glm::vec3& pa = result.positions[static_cast<std::size_t>(a.position - 1)];
    const glm::vec3& pb = result.positions[static_cast<std::size_t>(b.position - 1)];
    const glm::vec3& pc = result.positions[static_cast<std::size_t>(c.position - 1)];
    const glm::vec3 face = glm::cross(pb - pa, pc - pa);
    // Apex triangles of a revolved profile collapse to lines: they would only add
    // corners that cover no pixel.
    if (glm::length(face) < 1e-10f)
        return;
    const glm::vec3 shading = result.normals[static_cast<std::size_t>(a.normal - 1)] +
                              result.normals[static_cast<std::size_t>(b.normal - 1)] +
                              result.normals[static_cast<std::size_t>(c.normal - 1)];
    const bool flip = glm::dot(face, shading) < 0.0f;
    const Corner& second = flip ? c : b;
    const Corner& third = flip ? b : c;
    for (const Corner* corner : {&a, &second, &third}) {
        result.corners.push_back(corner->position);
        result.corners.push_back(corner->texCoord);
        result.corners.push_back(corner->normal);
    }
}

void SceneMeshBuilder::addQuad(const glm::vec3 (&p)[4], const glm::vec3& normal, const glm::vec2 (&uv)[4])
{
    const std::int32_t n = addNormal(normal);
    Corner c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = {addPosition(p[i]), addTexCoord(uv[i]), n};
    addTriangle(c[0], c[1], c[2]);
    addTriangle(c[0], c[2], c[3]);
}

void SceneMeshBuilder::addBox(const glm::vec3& min, const glm::vec3& max, float uvScale, bool inward)
{
    const float s = uvScale > 0.0f ? uvScale : 1.0f;
    const float sign = inward ? -1.0f : 1.0f;
    // For each axis, the two faces perpendicular to it; u and v run along the other two.
    for (int axis = 0; axis < 3; ++axis) {
        const int uAxis = (axis + 1) % 3;
        const int vAxis = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            glm::vec3 normal(0.0f);
            normal[axis] = (side == 0 ? -1.0f : 1.0f) * sign;
            const float at = side == 0 ? min[axis] : max[axis];
            glm::vec3 p[4];
            glm::vec2 uv[4];
            const int us[4] = {0, 1, 1, 0};
            const int vs[4] = {0, 0, 1, 1};
            for (int i = 0; i < 4; ++i) {
                p[i][axis] = at;
                p[i][uAxis] = us[i] ? max[uAxis] : min[uAxis];
                p[i][vAxis] = vs[i] ? max[vAxis] : min[vAxis];
                uv[i] = glm::vec2((p[i][uAxis] - min[uAxis]) / s, (p[i][vAxis] - min[vAxis]) / s);
            }
            addQuad(p, normal, uv);
        }
    }
}

void SceneMeshBuilder::addLathe(const glm::vec3& centre, const std::vector<ProfilePoint>& profile, int segments)
{
    if (profile.size() < 2 || segments < 3)
        return;
    float total = 0.0f;
    std::vector<float> along(profile.size(), 0.0f);
    for (std::size_t k = 1; k < profile.size(); ++k) {
        total += std::hypot(profile[k].y - profile[k - 1].y, profile[k].radius - profile[k - 1].radius);
        along[k] = total;
    }
    if (total <= 0.0f)
        return;

    for (std::size_t k = 0; k + 1 < profile.size(); ++k) {
        const ProfilePoint& lo = profile[k];
        const ProfilePoint& hi = profile[k + 1];
        const float dy = hi.y - lo.y;
        const float dr = hi.radius - lo.radius;
        for (int j = 0; j < segments; ++j) {
            Corner quad[4];
            const int steps[4] = {j, j + 1, j + 1, j};
            for (int i = 0; i < 4; ++i) {
                const float angle = twoPi * static_cast<float>(steps[i]) / static_cast<float>(segments);
                const ProfilePoint& point = i < 2 ? lo : hi;
                const glm::vec3 around(std::cos(angle), 0.0f, std::sin(angle));
                const glm::vec3 position = centre + around * point.radius + glm::vec3(0.0f, point.y, 0.0f);
                // Outward is to the right of the profile's direction of travel in (r, y).
                const glm::vec3 normal = around * dy + glm::vec3(0.0f, -dr, 0.0f);
                const float u = static_cast<float>(steps[i]) / static_cast<float>(segments);
                const float v = along[i < 2 ? k : k + 1] / total;
                quad[i] = {addPosition(position), addTexCoord(glm::vec2(u, v)), addNormal(normal)};
            }
            addTriangle(quad[0], quad[1], quad[2]);
            addTriangle(quad[0], quad[2], quad[3]);
        }
    }
}

void SceneMeshBuilder::addHeightField(float halfSize, int cells, const std::function<float(float, float)>& height,
                                      float uvScale)
{
    if (cells < 1 || halfSize <= 0.0f)
        return;
    const float s = uvScale > 0.0f ? uvScale : 1.0f;
    const float step = 2.0f * halfSize / static_cast<float>(cells);
    const float e = step * 0.5f;
    const int side = cells + 1;
    std::vector<Corner> grid(static_cast<std::size_t>(side * side));
    for (int k = 0; k < side; ++k) {
        for (int i = 0; i < side; ++i) {
            const float x = -halfSize + step * static_cast<float>(i);
            const float z = -halfSize + step * static_cast<float>(k);
            const float slopeX = (height(x + e, z) - height(x - e, z)) / (2.0f * e);
            const float slopeZ = (height(x, z + e) - height(x, z - e)) / (2.0f * e);
            grid[static_cast<std::size_t>(k * side + i)] = {
                addPosition(glm::vec3(x, height(x, z), z)), addTexCoord(glm::vec2(x + halfSize, z + halfSize) / s),
                addNormal(glm::vec3(-slopeX, 1.0f, -slopeZ))};
        }
    }
    for (int k = 0; k < cells; ++k) {
        for (int i = 0; i < cells; ++i) {
            const Corner& c00 = grid[static_cast<std::size_t>(k * side + i)];
            const Corner& c10 = grid[static_cast<std::size_t>(k * side + i + 1)];
            const Corner& c01 = grid[static_cast<std::size_t>((k + 1) * side + i)];
            const Corner& c11 = grid[static_cast<std::size_t>((k + 1) * side + i + 1)];
            addTriangle(c00, c10, c11);
            addTriangle(c00, c11, c01);
        }
    }
}

} // namespace assetgen::scenes
