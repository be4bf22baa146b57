// Sky sphere. Rows of vertices follow the image's rows and columns its columns, so the
// texture is stretched over the sphere exactly as the panorama was drawn.
#include "models/SkyBox.h"

#include <cmath>
#include <numbers>

#include "geometry/MeshBuilder.h"

namespace assetgen::models {

namespace {


glm::vec3 panoramaDirection(float u, float v)
{
    // u = 1 is the seam: the same direction as u = 0, to the last bit.
    const float phi = 2.0f * std::numbers::pi_v<float> * (u >= 1.0f ? u - 1.0f : u);
    // The poles are single points: sin(pi) in floats is not quite 0.
    const float s = v <= 0.0f || v >= 1.0f ? 0.0f : std::sin(std::numbers::pi_v<float> * v);
    const float c = v <= 0.0f ? 1.0f : v >= 1.0f ? -1.0f : std::cos(std::numbers::pi_v<float> * v);
    return {s * std::cos(phi), c, s * std::sin(phi)};
}

} // namespace

glm::vec3 skyWorldFromObject(const glm::vec3& p)
{
    return {p.y, -p.x, p.z};
}

glm::vec3 skyObjectFromWorld(const glm::vec3& w)
{
    return {-w.y, w.x, w.z};
}

glm::vec2 skyTexCoord(const glm::vec3& direction)
{
    const float length = glm::length(direction);
    if (!(length > 0.0f))
        return {0.0f, 0.0f};
    const glm::vec3 d = direction / length;
    float u = std::atan2(d.z, d.x) / (2.0f * std::numbers::pi_v<float>);
    if (u < 0.0f)
        u += 1.0f;
    if (u >= 1.0f)
        u = 0.0f;
    return {u, std::acos(std::fmax(-1.0f, std::fmin(1.0f, d.y))) / std::numbers::pi_v<float>};
}

Tarvo::ObjMesh buildSkyBox()
{
    MeshBuilder b;
    auto vertex = [](float u, float v) {
        const glm::vec3 p = kSkyRadius * skyObjectFromWorld(panoramaDirection(u, v));
        return MeshVertex{p, {u, v}, -glm::normalize(p)};
    };
    for (int i = 0; i < kSkyRings; ++i) {
        const float v0 = static_cast<float>(i) / kSkyRings;
        const float v1 = static_cast<float>(i + 1) / kSkyRings;
        for (int j = 0; j < kSkySegments; ++j) {
            const float u0 = static_cast<float>(j) / kSkySegments;
            const float u1 = static_cast<float>(j + 1) / kSkySegments;
            // At the poles the row collapses to a point: one triangle, its pole corner
            // at the column's middle longitude.
            const float uMid = 0.5f * (u0 + u1);
            if (i == 0) {
                b.addTriangle(vertex(uMid, v0), vertex(u0, v1), vertex(u1, v1));
            } else if (i == kSkyRings - 1) {
                b.addTriangle(vertex(u0, v0), vertex(u1, v0), vertex(uMid, v1));
            } else {
                b.addTriangle(vertex(u0, v0), vertex(u0, v1), vertex(u1, v1));
                b.addTriangle(vertex(u0, v0), vertex(u1, v1), vertex(u1, v0));
            }
        }
    }
    return b.mesh();
}

} // namespace assetgen::models
