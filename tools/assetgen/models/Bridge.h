// The cable-stayed bridge over the river valley: a 300 m box-girder deck along z with
// its road at y = 0 (|x| < 4 m), walkways and railings, two H-shaped towers with
// harp-arranged stay cables, approach piers, abutments, and the valley itself.
#pragma once

#include "mesh/ObjReader.h"

namespace assetgen::models {

inline constexpr float kDeckHalfLength = 150.0f;
inline constexpr float kDeckHalfWidth = 5.5f;
inline constexpr float kRoadHalfWidth = 4.0f;
inline constexpr float kTowerZ = 55.0f;    // towers at z = +-55
inline constexpr float kTowerTop = 52.0f;

Tarvo::ObjMesh buildBridge();

} // namespace assetgen::models
