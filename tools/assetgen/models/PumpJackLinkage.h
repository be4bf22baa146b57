// The pump jack's four-bar linkage: a crank turning about its shaft drives the pitman
// arms, which pull the walking beam's tail so the beam nods on its saddle bearing and
// the horse head lifts the polished rod. All in the model's x-y plane (x along the
// beam, horse head towards +x, y up, base on y = 0); the jack is symmetric in z.
#pragma once

#include <glm/glm.hpp>

#include "models/NwaWriter.h"

namespace assetgen::models {

struct PumpJackGeometry {
    glm::vec2 pivot{0.0f, 5.4f};              // saddle bearing: the beam's pivot
    glm::vec2 crankCentre{-2.6f, 1.75f};      // gearbox output shaft
    float crankRadius = 0.75f;                // shaft to crank pin
    glm::vec2 equaliserOnBeam{-2.6f, -0.15f}; // tail bearing, relative to the pivot
    float headRadius = 3.0f;                  // horse head arc, centred on the pivot
    float rodLineOffset = 2.75f;              // pivot to the cables and polished rod, in x
    float carrierHeight = 2.9f;               // carrier bar height with the beam level
    float pitmanSide = 0.94f;                 // |z| of the two pitman arms

    // The pitman length that holds the beam level with the crank pin level with the
    // shaft (crank angle 0 or 180 degrees).
    float pitmanLength() const;
    float rodLineX() const { return pivot.x + rodLineOffset; }
    // Cable length from the carrier bar up to the pivot's height.
    float cableLength() const { return pivot.y - carrierHeight; }
};

// The linkage at one crank angle. Angles in radians, counter-clockwise seen from +z.
struct PumpJackPose {
    float crankAngle = 0.0f; // direction of the crank pin from the shaft
    float beamAngle = 0.0f;  // positive lifts the horse head
    float pitmanAngle = 0.0f; // rotation of the pitman part, whose arms hang along -y
    glm::vec2 crankPin{0.0f};
    glm::vec2 equaliser{0.0f}; // the pitman's top joint on the beam
    float carrierY = 0.0f;     // height of the carrier bar on the rod line
};

// Solves the linkage for the beam angle at which the pitman reaches the crank pin.
PumpJackPose solvePumpJack(const PumpJackGeometry& geometry, float crankAngle);

// Timing of the generated animation: one crank revolution every 32 time units (the
// "jaakkoframe" track value), keys every 2 units, and 128 revolutions before the cycle
// wraps, so a track that counts rows turns the crank once a bar for the whole show.
inline constexpr int kPumpJackTimePerRevolution = 32;
inline constexpr int kPumpJackKeySpacing = 2;
inline constexpr int kPumpJackRevolutions = 128;

// The part files of the animation, in ".nwa" order.
inline constexpr const char* kPumpJackParts[] = {"base.obj",  "samson.obj", "beam.obj",
                                                 "crank.obj", "pitman.obj", "bridle.obj"};
enum PumpJackPart { JackBase, JackSamson, JackBeam, JackCrank, JackPitman, JackBridle };

// Keys for every part from the solved linkage.
PartAnimation pumpJackAnimation(const PumpJackGeometry& geometry);

} // namespace assetgen::models
