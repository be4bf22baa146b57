// Signed distance functions for hand-built vector shapes (the title's letters, sprite
// details). A distance is negative inside a shape and positive outside; shapes combine
// with min (union), max (intersection) and max(a, -b) (subtraction), and the distance
// in pixels gives an anti-aliased coverage without supersampling.
#pragma once

#include <vector>

namespace assetgen::images {

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

Vec2 operator+(Vec2 a, Vec2 b);
Vec2 operator-(Vec2 a, Vec2 b);
Vec2 operator*(Vec2 a, float s);
float dot(Vec2 a, Vec2 b);
float length(Vec2 a);

// Distance to a closed polygon (any winding, convex or not, no self-intersections).
// An empty polygon is everywhere "outside" at a large distance.
float sdPolygon(Vec2 p, const std::vector<Vec2>& vertices);

// Axis-aligned box given by its centre and half extents.
float sdBox(Vec2 p, Vec2 centre, Vec2 halfSize);

// Box with corners rounded by radius (radius is clamped to the smaller half extent).
float sdRoundBox(Vec2 p, Vec2 centre, Vec2 halfSize, float radius);

// A stroke of the given half width around the segment a-b, with round ends.
float sdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth);

// Coverage of a pixel whose centre lies at signed distance d, with pixelSize the size
// of one pixel in the distance's units: 1 well inside, 0 well outside, a linear ramp
// one pixel wide across the edge.
float coverage(float d, float pixelSize);

} // namespace assetgen::images
