// Assembling the rig: where the axles sit, how they turn, and the static copy.
#include "models/Truck.h"

#include <cmath>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

#include "geometry/MeshBuilder.h"

namespace assetgen::models {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

} // namespace

double truckWheelAngle(double distance)
{
    return distance / double(kTruckWheelRadius);
}

Tarvo::ObjMesh buildStaticTruck()
{
    MeshBuilder b;
    b.append(buildTractor());
    b.append(buildTrailer());
    const Tarvo::ObjMesh front = buildFrontAxle();
    const Tarvo::ObjMesh dual = buildDualAxle();
    for (std::size_t i = 0; i < std::size(kTruckAxles); ++i) {
        const glm::vec3 centre(0.0f, kTruckWheelRadius, kTruckAxles[i].z);
        b.pushTransform(glm::translate(glm::mat4(1.0f), centre));
        b.append(i == 0 ? front : dual); // the steering axle is the first
        b.popTransform();
    }
    return b.mesh();
}

PartAnimation truckAnimation()
{
    PartAnimation animation;
    animation.partNames = {"tractor.obj", "trailer.obj"};
    for (const TruckAxle& axle : kTruckAxles)
        animation.partNames.push_back(axle.part);
    animation.length = kTruckCycleLength;
    animation.spacing = kTruckKeySpacing;

    const glm::vec3 still(0.0f);
    for (int k = 0; k < animation.keyCount(); ++k) {
        // Keys blend linearly and the cycle wraps from its last interval to key 0, which
        // would spin a wheel backwards through every turn it made. Keys from the middle
        // of the cycle on hold the negative distances instead, so the one jump sits at
        // half a cycle, far from the distances a crossing uses.
        int distance = k * animation.spacing;
        if (distance >= animation.length / 2)
            distance -= animation.length;
        const double degrees = truckWheelAngle(distance) * kDegrees;

        std::vector<Tarvo::AniKey> frame;
        frame.push_back(poseKey(still, still));
        frame.push_back(poseKey(still, still));
        for (const TruckAxle& axle : kTruckAxles)
            frame.push_back(poseKey(glm::vec3(0.0f, kTruckWheelRadius, axle.z),
                                    glm::vec3(float(degrees), 0.0f, 0.0f)));
        animation.keys.push_back(std::move(frame));
    }
    return animation;
}

} // namespace assetgen::models
