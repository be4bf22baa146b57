// Two-dimensional outlines for extruded parts: triangulation of simple polygons and the
// shapes the models are cut from (circles, slots, ring sectors).
#pragma once

#include <array>
#include <vector>

#include <glm/glm.hpp>

namespace assetgen {

using Outline = std::vector<glm::vec2>;

// Twice the signed area: positive for counter-clockwise outlines.
float signedArea2(const Outline& outline);

// Ear-clipping triangulation of a simple polygon given counter-clockwise; each result is
// three indices into the outline, counter-clockwise. A degenerate outline (fewer than
// three corners, or one that cannot be clipped) yields what could be clipped.
std::vector<std::array<int, 3>> triangulate(const Outline& outline);

// A circle of `segments` corners, counter-clockwise, starting at angle 0.
Outline circleOutline(const glm::vec2& centre, float radius, int segments);

// A slot: two half circles of the given radius around a and b joined by straight sides.
Outline slotOutline(const glm::vec2& a, const glm::vec2& b, float radius, int segmentsPerEnd);

// The ring sector between radii inner and outer, from angle a0 to a1 (radians, a0 < a1),
// counter-clockwise.
Outline ringSectorOutline(const glm::vec2& centre, float inner, float outer, float a0, float a1,
                          int segments);

} // namespace assetgen
