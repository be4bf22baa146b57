// Signed distance functions for vector shapes; see Shapes.h for the conventions.
#include "images/Shapes.h"

#include <algorithm>
#include <cmath>

namespace assetgen::images {

Vec2 operator+(Vec2 a, Vec2 b)
{
    return {a.x + b.x, a.y + b.y};
}

Vec2 operator-(Vec2 a, Vec2 b)
{
    return {a.x - b.x, a.y - b.y};
}

Vec2 operator*(Vec2 a, float s)
{
    return {a.x * s, a.y * s};
}

float dot(Vec2 a, Vec2 b)
{
    return a.x * b.x + a.y * b.y;
}

float length(Vec2 a)
{
    return std::sqrt(dot(a, a));
}

float sdPolygon(Vec2 p, const std::vector<Vec2>& v)
{
    if (v.empty())
        return 1e9f;
    // Nearest edge distance, and inside/outside by counting edge crossings of a ray
    // towards +x (even-odd rule), so the result does not depend on winding.
    float nearest = dot(p - v[0], p - v[0]);
    bool inside = false;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        const Vec2 e = v[j] - v[i];
        const Vec2 w = p - v[i];
        const float ee = dot(e, e);
        const float t = ee > 0.0f ? std::clamp(dot(w, e) / ee, 0.0f, 1.0f) : 0.0f;
        const Vec2 b = w - e * t;
        nearest = std::min(nearest, dot(b, b));
        const bool crossesY = (v[i].y > p.y) != (v[j].y > p.y);
        if (crossesY) {
            const float xCross = v[i].x + (p.y - v[i].y) * (v[j].x - v[i].x) / (v[j].y - v[i].y);
            if (p.x < xCross)
                inside = !inside;
        }
    }
    const float d = std::sqrt(nearest);
    return inside ? -d : d;
}

float sdBox(Vec2 p, Vec2 centre, Vec2 halfSize)
{
    const float dx = std::fabs(p.x - centre.x) - halfSize.x;
    const float dy = std::fabs(p.y - centre.y) - halfSize.y;
    const float outside = std::sqrt(std::max(dx, 0.0f) * std::max(dx, 0.0f) + std::max(dy, 0.0f) * std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f);
}

float sdRoundBox(Vec2 p, Vec2 centre, Vec2 halfSize, float radius)
{
    radius = std::clamp(radius, 0.0f, std::min(halfSize.x, halfSize.y));
    return sdBox(p, centre, {halfSize.x - radius, halfSize.y - radius}) - radius;
}

float sdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth)
{
    const Vec2 ab = b - a;
    const Vec2 ap = p - a;
    const float ll = dot(ab, ab);
    const float t = ll > 0.0f ? std::clamp(dot(ap, ab) / ll, 0.0f, 1.0f) : 0.0f;
    return length(ap - ab * t) - halfWidth;
}

float coverage(float d, float pixelSize)
{
    if (!(pixelSize > 0.0f))
        return d < 0.0f ? 1.0f : 0.0f;
    return std::clamp(0.5f - d / pixelSize, 0.0f, 1.0f);
}

} // namespace assetgen::images
