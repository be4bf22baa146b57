// The tractor-trailer: a cab-over tractor and a box trailer, 16.5 m long, origin at road
// level under the middle of the rig, driving towards +z. The body parts stand still in
// the animation; each axle is its own part and turns with the distance driven.
#pragma once

#include <vector>

#include "mesh/ObjReader.h"
#include "models/NwaWriter.h"

namespace assetgen::models {

inline constexpr float kTruckWheelRadius = 0.52f;

// The animation's time is the distance driven in metres ("rekkaframe"; the timeline can
// give it the "truckpos" values): the wheels turn by distance / kTruckWheelRadius
// radians. Keys every 2 m over a 1024 m cycle, laid out so that times from -512 up to
// 510 turn the wheels continuously.
inline constexpr int kTruckKeySpacing = 2;
inline constexpr int kTruckCycleLength = 1024;

struct TruckAxle {
    const char* part; // part mesh file
    float z;          // axle position along the rig
};

inline constexpr TruckAxle kTruckAxles[] = {
    {"axle_front.obj", 7.2f}, {"axle_dual.obj", 3.3f},  {"axle_dual.obj", 2.0f},
    {"axle_dual.obj", -4.6f}, {"axle_dual.obj", -5.9f}, {"axle_dual.obj", -7.2f},
};

// Wheel angle in radians about +x for a time (distance) value; positive rolls forward.
double truckWheelAngle(double distance);

Tarvo::ObjMesh buildTractor();
Tarvo::ObjMesh buildTrailer();
// Axle meshes around their own axis (the local x axis), wheels on both sides.
Tarvo::ObjMesh buildFrontAxle();
Tarvo::ObjMesh buildDualAxle();

// The whole rig at rest (wheel angle 0), as one mesh.
Tarvo::ObjMesh buildStaticTruck();

// "tractor.obj", "trailer.obj", then one part per entry of kTruckAxles.
PartAnimation truckAnimation();

} // namespace assetgen::models
