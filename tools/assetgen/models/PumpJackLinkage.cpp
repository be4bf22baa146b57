// Solving the linkage. The beam angle is found by bisection: as the beam turns its tail
// moves steadily towards the crank, so the pitman's reach has one root in range.
#include "models/PumpJackLinkage.h"

#include <cmath>
#include <numbers>

namespace assetgen::models {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
// The beam never turns more than this either way; the geometry keeps it near 17 degrees.
constexpr double kBeamLimit = 0.9;

glm::dvec2 rotate(const glm::dvec2& v, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

} // namespace

float PumpJackGeometry::pitmanLength() const
{
    const glm::vec2 equaliser = pivot + equaliserOnBeam;
    const glm::vec2 pin = crankCentre + glm::vec2(crankRadius, 0.0f);
    return glm::length(equaliser - pin);
}

PumpJackPose solvePumpJack(const PumpJackGeometry& g, float crankAngle)
{
    const glm::dvec2 pivot(g.pivot);
    const glm::dvec2 tail(g.equaliserOnBeam);
    const glm::dvec2 pin = glm::dvec2(g.crankCentre)
                           + double(g.crankRadius) * glm::dvec2(std::cos(double(crankAngle)),
                                                                std::sin(double(crankAngle)));
    const double length = g.pitmanLength();
    auto reachError = [&](double beam) {
        return glm::length(pivot + rotate(tail, beam) - pin) - length;
    };

    double lo = -kBeamLimit;
    double hi = kBeamLimit;
    // The tail sits below and behind the pivot, so turning the head up (positive angle)
    // brings it down towards the crank: the error falls with the angle.
    if (reachError(lo) < 0.0)
        hi = lo;
    else if (reachError(hi) > 0.0)
        lo = hi;
    for (int i = 0; i < 80 && hi - lo > 1e-12; ++i) {
        const double mid = 0.5 * (lo + hi);
        (reachError(mid) > 0.0 ? lo : hi) = mid;
    }
    const double beam = 0.5 * (lo + hi);

    PumpJackPose pose;
    pose.crankAngle = crankAngle;
    pose.beamAngle = static_cast<float>(beam);
    pose.crankPin = glm::vec2(pin);
    const glm::dvec2 equaliser = pivot + rotate(tail, beam);
    pose.equaliser = glm::vec2(equaliser);
    // rotate(angle) takes the arm's downward direction (0, -1) to (sin, -cos).
    const glm::dvec2 arm = pin - equaliser;
    pose.pitmanAngle = static_cast<float>(std::atan2(arm.x, -arm.y));
    // The cable rides the head's arc, so the carrier moves by the arc length.
    pose.carrierY = static_cast<float>(g.carrierHeight + g.headRadius * beam);
    return pose;
}

PartAnimation pumpJackAnimation(const PumpJackGeometry& g)
{
    PartAnimation animation;
    for (const char* name : kPumpJackParts)
        animation.partNames.push_back(name);
    animation.spacing = kPumpJackKeySpacing;
    animation.length = kPumpJackTimePerRevolution * kPumpJackRevolutions;

    const glm::vec3 still(0.0f);
    for (int k = 0; k < animation.keyCount(); ++k) {
        const int time = k * animation.spacing;
        // The crank's angle keeps growing over the whole cycle: keys are blended
        // linearly, so wrapping it to one turn would spin it backwards between keys.
        const double turns = double(time) / kPumpJackTimePerRevolution;
        const double crankDegrees = 360.0 * turns;
        const double withinTurn = 2.0 * std::numbers::pi * (turns - std::floor(turns));
        const PumpJackPose pose = solvePumpJack(g, static_cast<float>(withinTurn));

        std::vector<Tarvo::AniKey> frame(std::size(kPumpJackParts));
        frame[JackBase] = poseKey(still, still);
        frame[JackSamson] = poseKey(still, still);
        frame[JackBeam] = poseKey(glm::vec3(g.pivot, 0.0f),
                                  glm::vec3(0.0f, 0.0f, float(pose.beamAngle * kDegrees)));
        frame[JackCrank] = poseKey(glm::vec3(g.crankCentre, 0.0f),
                                   glm::vec3(0.0f, 0.0f, float(crankDegrees)));
        frame[JackPitman] = poseKey(glm::vec3(pose.equaliser, 0.0f),
                                    glm::vec3(0.0f, 0.0f, float(pose.pitmanAngle * kDegrees)));
        frame[JackBridle] = poseKey(glm::vec3(g.rodLineX(), pose.carrierY, 0.0f), still);
        animation.keys.push_back(std::move(frame));
    }
    return animation;
}

} // namespace assetgen::models
