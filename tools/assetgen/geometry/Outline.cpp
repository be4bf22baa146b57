// Outline shapes and ear-clipping triangulation. The outlines here are small (tens of
// corners), so the quadratic clipper is plenty.
#include "geometry/Outline.h"

#include <cmath>
#include <numbers>

namespace assetgen {

namespace {


float cross(const glm::vec2& a, const glm::vec2& b, const glm::vec2& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool insideTriangle(const glm::vec2& p, const glm::vec2& a, const glm::vec2& b,
                    const glm::vec2& c)
{
    return cross(a, b, p) >= 0.0f && cross(b, c, p) >= 0.0f && cross(c, a, p) >= 0.0f;
}

} // namespace

float signedArea2(const Outline& outline)
{
    float area = 0.0f;
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const glm::vec2& a = outline[i];
        const glm::vec2& b = outline[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    return area;
}

std::vector<std::array<int, 3>> triangulate(const Outline& outline)
{
    std::vector<std::array<int, 3>> triangles;
    std::vector<int> remaining;
    for (int i = 0; i < static_cast<int>(outline.size()); ++i)
        remaining.push_back(i);

    // Each pass clips one ear; a polygon that offers none (self-intersecting or
    // collinear throughout) stops the loop instead of spinning.
    while (remaining.size() > 3) {
        const std::size_t n = remaining.size();
        bool clipped = false;
        for (std::size_t i = 0; i < n && !clipped; ++i) {
            const int ia = remaining[(i + n - 1) % n];
            const int ib = remaining[i];
            const int ic = remaining[(i + 1) % n];
            const glm::vec2& a = outline[ia];
            const glm::vec2& b = outline[ib];
            const glm::vec2& c = outline[ic];
            if (cross(a, b, c) <= 1e-12f)
                continue; // reflex or flat corner: not an ear
            bool blocked = false;
            for (int j : remaining) {
                if (j == ia || j == ib || j == ic)
                    continue;
                const glm::vec2& p = outline[j];
                if (p != a && p != b && p != c && insideTriangle(p, a, b, c)) {
                    blocked = true;
                    break;
                }
            }
            if (blocked)
                continue;
            triangles.push_back({ia, ib, ic});
            remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(i));
            clipped = true;
        }
        if (!clipped)
            break;
    }
    if (remaining.size() == 3
        && cross(outline[remaining[0]], outline[remaining[1]], outline[remaining[2]]) > 0.0f)
        triangles.push_back({remaining[0], remaining[1], remaining[2]});
    return triangles;
}

Outline circleOutline(const glm::vec2& centre, float radius, int segments)
{
    Outline result;
    for (int i = 0; i < segments; ++i) {
        const float a =
            2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / static_cast<float>(segments);
        result.push_back(centre + radius * glm::vec2(std::cos(a), std::sin(a)));
    }
    return result;
}

Outline slotOutline(const glm::vec2& a, const glm::vec2& b, float radius, int segmentsPerEnd)
{
    const glm::vec2 d = b - a;
    const float base = std::atan2(d.y, d.x);
    Outline result;
    // Around b from -90 to +90 degrees of the a-to-b direction, then around a.
    for (int i = 0; i <= segmentsPerEnd; ++i) {
        const float t = base - std::numbers::pi_v<float> / 2
                        + std::numbers::pi_v<float> * static_cast<float>(i) / segmentsPerEnd;
        result.push_back(b + radius * glm::vec2(std::cos(t), std::sin(t)));
    }
    for (int i = 0; i <= segmentsPerEnd; ++i) {
        const float t = base + std::numbers::pi_v<float> / 2
                        + std::numbers::pi_v<float> * static_cast<float>(i) / segmentsPerEnd;
        result.push_back(a + radius * glm::vec2(std::cos(t), std::sin(t)));
    }
    return result;
}

Outline ringSectorOutline(const glm::vec2& centre, float inner, float outer, float a0, float a1,
                          int segments)
{
    Outline result;
    for (int i = 0; i <= segments; ++i) {
        const float t = a0 + (a1 - a0) * static_cast<float>(i) / segments;
        result.push_back(centre + outer * glm::vec2(std::cos(t), std::sin(t)));
    }
    for (int i = segments; i >= 0; --i) {
        const float t = a0 + (a1 - a0) * static_cast<float>(i) / segments;
        result.push_back(centre + inner * glm::vec2(std::cos(t), std::sin(t)));
    }
    return result;
}

} // namespace assetgen
