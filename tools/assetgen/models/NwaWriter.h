// Writing rigid-part animations as ".nwa" text, and the keys that put a part where the
// animated model will draw it: the model's post matrix is translate(-x, z, -y) times
// rotations about x, y and z whose radians it turns into degrees by 57.30659.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "mesh/AniPart.h"

namespace assetgen::models {

struct PartAnimation {
    std::vector<std::string> partNames; // OBJ files beside the ".nwa" file
    std::int32_t length = 0;            // A: one cycle in time units
    std::int32_t spacing = 0;           // B: time between keys
    // keys[k][p]: key k (time k * B) of part p, for k = 0 .. A / B.
    std::vector<std::vector<Tarvo::AniKey>> keys;

    std::int32_t keyCount() const { return spacing > 0 ? length / spacing + 1 : 0; }
};

// The key that draws a part with its mesh origin at `position` (model space, y up),
// turned by `degrees` about x, y and z (z acting first), exactly as the animated model
// builds its post matrix.
Tarvo::AniKey poseKey(const glm::vec3& position, const glm::vec3& degrees);

// The ".nwa" text: part names, "A B", then one key a line ("x y z rx ry rz"),
// key-major. Empty, with a reason, when the animation is not complete.
bool formatNwa(const PartAnimation& animation, std::string& text, std::string& error);

bool writeNwaFile(const std::string& path, const PartAnimation& animation);

} // namespace assetgen::models
