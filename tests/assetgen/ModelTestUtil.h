// Shared checks for the model generator's tests: mesh measurements (volume, closure,
// bounds, winding against normals) and animations read back as the show reads them.
#pragma once

#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include "mesh/AniPart.h"
#include "mesh/NwaFile.h"
#include "mesh/ObjReader.h"
#include "models/NwaWriter.h"

namespace modeltest {

struct Corner {
    glm::vec3 position;
    glm::vec2 uv;
    glm::vec3 normal;
};

// The mesh's corners, three per triangle, as a model would upload them.
std::vector<Corner> corners(const Tarvo::ObjMesh& mesh);

// Volume enclosed by the triangles (positive when they face outwards).
double signedVolume(const Tarvo::ObjMesh& mesh);

// True when every edge is used exactly once in each direction: a closed, consistently
// wound surface.
bool isClosed(const Tarvo::ObjMesh& mesh);

// Number of triangles whose winding disagrees with their corners' normals.
std::size_t windingAgainstNormals(const Tarvo::ObjMesh& mesh);

struct Bounds {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
    glm::vec3 size() const { return max - min; }
};
Bounds bounds(const std::vector<glm::vec3>& positions);
Bounds bounds(const Tarvo::ObjMesh& mesh);

// The animation after a round trip through its ".nwa" text: the parsed file, and one part
// per name holding its keys, as the animated model evaluates them. Says which step failed.
testing::AssertionResult readBackAnimation(const assetgen::models::PartAnimation& animation,
    Tarvo::NwaFile& nwa, std::vector<Tarvo::AniPart>& parts);

} // namespace modeltest
