// Wheels and axles. A wheel is a tyre revolved from its cross-section, a steel rim with
// a hub and wheel nuts, and raised ribs on the rim so that its turning shows. Wheels are
// built for the right-hand (+x) side and mirrored for the left.
#include "models/Truck.h"

#include <cmath>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

#include "geometry/MeshBuilder.h"

namespace assetgen::models {

namespace {

constexpr int kTyreSegments = 20;
constexpr float kTyreWidth = 0.3f;
constexpr float kRimRadius = 0.3f;

// A tyre centred on the local origin, axis along x.
void addTyre(MeshBuilder& b)
{
    const float h = kTyreWidth / 2.0f;
    const float r = kTruckWheelRadius;
    b.setMaterial(Material::Rubber);
    b.addLathe({{-h, kRimRadius},
                {-h, r - 0.05f},
                {-h + 0.03f, r - 0.01f},
                {-h + 0.07f, r},
                {h - 0.07f, r},
                {h - 0.03f, r - 0.01f},
                {h, r - 0.05f},
                {h, kRimRadius}},
               kTyreSegments, 35.0f);
}

// The rim fills the tyre; `outer` adds the hub, nuts and ribs on the +x face.
void addRim(MeshBuilder& b, bool outer)
{
    const float h = kTyreWidth / 2.0f;
    const float face = h - 0.05f;
    b.setMaterial(Material::Chrome);
    b.addCylinder({-h + 0.02f, 0.0f, 0.0f}, {face, 0.0f, 0.0f}, kRimRadius, kTyreSegments);
    if (!outer)
        return;
    b.addFrustum({face, 0.0f, 0.0f}, {face + 0.09f, 0.0f, 0.0f}, 0.13f, 0.09f, 12);
    for (int i = 0; i < 8; ++i) {
        const float a = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / 8.0f;
        const glm::vec3 at(face, 0.19f * std::cos(a), 0.19f * std::sin(a));
        b.addCylinder(at, at + glm::vec3(0.035f, 0.0f, 0.0f), 0.022f, 6);
    }
    for (int i = 0; i < 5; ++i) {
        const float a = 2.0f * std::numbers::pi_v<float> * (static_cast<float>(i) + 0.5f) / 5.0f;
        const glm::vec3 dir(0.0f, std::cos(a), std::sin(a));
        b.addBeam(glm::vec3(face + 0.01f, 0, 0) + 0.22f * dir,
                  glm::vec3(face + 0.01f, 0, 0) + 0.29f * dir, 0.04f, 0.03f, {1, 0, 0});
    }
}

// One wheel with its outer face towards +x at axial position x.
void addWheel(MeshBuilder& b, float x, bool outer)
{
    b.pushTransform(glm::translate(glm::mat4(1.0f), glm::vec3(x, 0.0f, 0.0f)));
    addTyre(b);
    addRim(b, outer);
    b.popTransform();
}

// Both sides: the right as built, the left mirrored across x = 0.
template <class AddSide>
Tarvo::ObjMesh buildAxle(float halfTrack, AddSide addSide)
{
    MeshBuilder b;
    for (float side : {1.0f, -1.0f}) {
        b.pushTransform(glm::scale(glm::mat4(1.0f), glm::vec3(side, 1.0f, 1.0f)));
        addSide(b);
        b.popTransform();
    }
    // The axle tube is round, so turning it with the wheels looks right.
    b.setMaterial(Material::DarkSteel);
    b.addCylinder({-halfTrack, 0.0f, 0.0f}, {halfTrack, 0.0f, 0.0f}, 0.07f, 12);
    return b.mesh();
}

} // namespace

Tarvo::ObjMesh buildFrontAxle()
{
    return buildAxle(0.9f, [](MeshBuilder& b) { addWheel(b, 1.02f, true); });
}

Tarvo::ObjMesh buildDualAxle()
{
    return buildAxle(0.6f, [](MeshBuilder& b) {
        addWheel(b, 0.72f, false);
        addWheel(b, 1.06f, true);
    });
}

} // namespace assetgen::models
