// The tractor and the trailer body: everything on the rig that does not turn. The cab
// is its side outline extruded across the width; the rest is blocks and cylinders.
#include <cmath>
#include <iterator>

#include <glm/gtc/matrix_transform.hpp>

#include "geometry/MeshBuilder.h"
#include "geometry/Outline.h"
#include "models/Truck.h"

namespace assetgen::models {

namespace {

// Extrusion across the rig: the outline is drawn in the side view (z forward, y up)
// and extruded along x from x0 to x1.
void addSideProfile(MeshBuilder& b, const Outline& outline, float x0, float x1,
                    float smoothDegrees = 0.0f)
{
    glm::mat4 sideways(0.0f);
    sideways[0] = glm::vec4(0.0f, 0.0f, 1.0f, 0.0f);  // outline x -> rig z
    sideways[1] = glm::vec4(0.0f, 1.0f, 0.0f, 0.0f);  // outline y -> rig y
    sideways[2] = glm::vec4(-1.0f, 0.0f, 0.0f, 0.0f); // extrusion -> rig -x
    sideways[3] = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    b.pushTransform(sideways);
    b.addPrism(outline, -x1, -x0, smoothDegrees);
    b.popTransform();
}

// A box mirrored to both sides of the rig, given for the right (+x) side.
void addPair(MeshBuilder& b, const glm::vec3& lo, const glm::vec3& hi)
{
    b.addBox(lo, hi);
    b.addBox({-hi.x, lo.y, lo.z}, {-lo.x, hi.y, hi.z});
}

void addCab(MeshBuilder& b)
{
    const Outline cab{{6.0f, 1.15f},  {8.15f, 1.15f}, {8.25f, 1.35f}, {8.25f, 2.35f},
                      {8.18f, 3.25f}, {8.05f, 3.7f},  {7.8f, 3.9f},   {7.3f, 3.95f},
                      {6.0f, 3.95f}};
    b.setMaterial(Material::CabPaint);
    addSideProfile(b, cab, -1.25f, 1.25f, 25.0f);
    const Outline deflector{{6.0f, 3.95f}, {7.2f, 3.95f}, {6.6f, 4.4f}, {6.0f, 4.45f}};
    addSideProfile(b, deflector, -1.15f, 1.15f);

    // Windscreen and side windows stand a little proud of the cab so they catch the
    // light differently; the front has a grille of bars and the lamps.
    b.setMaterial(Material::Glass);
    b.addBlock({glm::vec3(-1.1f, 2.45f, 8.245f), glm::vec3(1.1f, 2.45f, 8.245f),
                glm::vec3(-1.05f, 3.55f, 8.11f), glm::vec3(1.05f, 3.55f, 8.11f),
                glm::vec3(-1.1f, 2.45f, 8.275f), glm::vec3(1.1f, 2.45f, 8.275f),
                glm::vec3(-1.05f, 3.55f, 8.14f), glm::vec3(1.05f, 3.55f, 8.14f)});
    addPair(b, {1.25f, 2.5f, 6.9f}, {1.28f, 3.5f, 7.95f});
    b.setMaterial(Material::Chrome);
    for (int i = 0; i < 4; ++i) {
        const float y = 1.55f + 0.17f * static_cast<float>(i);
        b.addBox({-0.8f, y, 8.25f}, {0.8f, y + 0.08f, 8.3f});
    }
    b.addBox({-1.22f, 0.55f, 7.95f}, {1.22f, 1.15f, 8.32f}); // bumper
    b.setMaterial(Material::HeadLamp);
    addPair(b, {0.75f, 0.85f, 8.32f}, {1.1f, 1.0f, 8.35f});   // headlamps
    // Amber marker lamps along the roof's front edge.
    for (float x : {-0.8f, -0.4f, 0.0f, 0.4f, 0.8f})
        b.addBox({x - 0.06f, 3.9f, 7.72f}, {x + 0.06f, 3.98f, 7.86f});
    // Mirrors on their arms, and the steps under the doors.
    for (float s : {-1.0f, 1.0f}) {
        b.setMaterial(Material::DarkSteel);
        b.addBeam({s * 1.25f, 3.1f, 7.85f}, {s * 1.5f, 3.1f, 7.95f}, 0.04f, 0.04f);
        b.setMaterial(Material::Chrome);
        b.addBox({s > 0 ? 1.45f : -1.55f, 2.55f, 7.9f}, {s > 0 ? 1.55f : -1.45f, 3.3f, 8.05f});
    }
    b.setMaterial(Material::DarkSteel);
    addPair(b, {1.0f, 0.55f, 6.05f}, {1.25f, 0.62f, 6.6f});
    addPair(b, {1.0f, 0.85f, 6.05f}, {1.25f, 0.92f, 6.6f});
    // The haulier's stripe along the cab's sides, below the windows.
    b.setMaterial(Material::Livery);
    addPair(b, {1.25f, 1.9f, 6.0f}, {1.265f, 2.2f, 8.2f});
}

// The haulier's name in block letters, five cells square each, read left to right.
constexpr const char* kLetters[][5] = {
    {"X...X", "X...X", "X...X", ".X.X.", "..X.."}, // V
    {".XXX.", "X...X", "XXXXX", "X...X", "X...X"}, // A
    {"X...X", "XX..X", "X.X.X", "X..XX", "X...X"}, // N
    {"XXXXX", "..X..", "..X..", "..X..", "..X.."}, // T
    {".XXX.", "X...X", "X...X", "X...X", ".XXX."}, // O
    {"XXXX.", "X...X", "XXXX.", "X.X..", "X..XX"}, // R
};

// Stripes and the name on both sides of the trailer, standing just proud of its ribs.
// Each side reads from the rig's front towards its rear as seen from that side.
void addLivery(MeshBuilder& b, float rear, float front)
{
    constexpr float cell = 0.24f;
    constexpr float gap = 0.36f; // between letters
    constexpr float top = 3.2f;
    const int letters = static_cast<int>(std::size(kLetters));
    const float width = static_cast<float>(letters) * 5.0f * cell + static_cast<float>(letters - 1) * gap;
    const float centre = (rear + front) / 2.0f;
    b.setMaterial(Material::Livery);
    for (float s : {-1.0f, 1.0f}) {
        const float x0 = s * 1.3f;
        const float x1 = s * 1.315f;
        auto panel = [&](float y0, float y1, float z0, float z1) {
            b.addBox({std::fmin(x0, x1), y0, z0}, {std::fmax(x0, x1), y1, z1});
        };
        panel(1.45f, 1.8f, rear + 0.05f, front - 0.05f);
        panel(3.55f, 3.65f, rear + 0.05f, front - 0.05f);
        // Along the reading direction: towards -z on the right (+x) side, +z on the left.
        const float start = centre + s * width / 2.0f;
        for (int l = 0; l < letters; ++l) {
            for (int row = 0; row < 5; ++row) {
                const char* bits = kLetters[l][row];
                for (int c = 0; c < 5;) {
                    if (bits[c] != 'X') {
                        ++c;
                        continue;
                    }
                    int end = c;
                    while (end < 5 && bits[end] == 'X')
                        ++end;
                    const float from = static_cast<float>(l) * (5.0f * cell + gap) + static_cast<float>(c) * cell;
                    const float to = from + static_cast<float>(end - c) * cell;
                    const float za = start - s * from;
                    const float zb = start - s * to;
                    const float y1 = top - static_cast<float>(row) * cell;
                    panel(y1 - cell, y1, std::fmin(za, zb), std::fmax(za, zb));
                    c = end;
                }
            }
        }
    }
    b.setMaterial(Material::TrailerPanel);
}

void addTractorChassis(MeshBuilder& b)
{
    b.setMaterial(Material::DarkSteel);
    addPair(b, {0.35f, 0.75f, 0.9f}, {0.5f, 1.05f, 8.0f}); // frame rails
    for (float z : {1.2f, 2.65f, 4.0f, 5.9f, 7.6f})
        b.addBox({-0.35f, 0.8f, z - 0.06f}, {0.35f, 1.0f, z + 0.06f});
    b.addBox({-0.9f, 1.08f, 2.0f}, {0.9f, 1.2f, 3.3f}); // fifth wheel
    // Fuel tanks behind the cab, the exhaust stack beside them.
    b.setMaterial(Material::Chrome);
    for (float s : {-1.0f, 1.0f})
        b.addCylinder({s * 0.9f, 0.75f, 4.2f}, {s * 0.9f, 0.75f, 5.8f}, 0.32f, 16);
    b.addCylinder({1.0f, 1.2f, 5.85f}, {1.0f, 4.4f, 5.85f}, 0.08f, 10);
    b.setMaterial(Material::DarkSteel);
    // Steering axle beam and the differentials of the driven axles, which stay upright
    // while the axle tubes turn through them.
    b.addBox({-0.52f, kTruckWheelRadius - 0.06f, 7.12f}, {0.52f, kTruckWheelRadius + 0.06f, 7.28f});
    for (float z : {3.3f, 2.0f}) {
        b.pushTransform(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, kTruckWheelRadius, z)));
        b.addLathe({{-0.25f, 0.0f}, {-0.25f, 0.12f}, {-0.12f, 0.24f}, {0.12f, 0.24f},
                    {0.25f, 0.12f}, {0.25f, 0.0f}},
                   14);
        b.popTransform();
    }
    // Mudguards and flaps over the tandem.
    b.setMaterial(Material::Rubber);
    addPair(b, {0.5f, 1.12f, 1.3f}, {1.25f, 1.17f, 4.0f});
    addPair(b, {0.55f, 0.3f, 1.22f}, {1.25f, 1.12f, 1.27f});
}

} // namespace

Tarvo::ObjMesh buildTractor()
{
    MeshBuilder b;
    addCab(b);
    addTractorChassis(b);
    return b.mesh();
}

Tarvo::ObjMesh buildTrailer()
{
    MeshBuilder b;
    const float front = 4.3f;
    const float rear = -8.25f;
    b.setMaterial(Material::TrailerPanel);
    b.addBox({-1.27f, 1.3f, rear}, {1.27f, 4.0f, front});
    // Ribs along the sides, rails along the top and bottom edges.
    for (float z = rear + 0.25f; z < front - 0.1f; z += 0.6f)
        addPair(b, {1.27f, 1.3f, z - 0.025f}, {1.3f, 4.0f, z + 0.025f});
    addPair(b, {1.27f, 3.92f, rear}, {1.31f, 4.02f, front});
    addPair(b, {1.27f, 1.28f, rear}, {1.31f, 1.4f, front});
    addLivery(b, rear, front);
    // Rear doors: frame, hinge line and lock bars.
    b.setMaterial(Material::Chrome);
    b.addBox({-1.27f, 1.3f, rear - 0.04f}, {1.27f, 1.4f, rear});
    b.addBox({-1.27f, 3.9f, rear - 0.04f}, {1.27f, 4.0f, rear});
    b.addBox({-0.015f, 1.4f, rear - 0.03f}, {0.015f, 3.9f, rear});
    for (float x : {-0.75f, -0.35f, 0.35f, 0.75f})
        b.addCylinder({x, 1.45f, rear - 0.06f}, {x, 3.85f, rear - 0.06f}, 0.025f, 8);
    b.setMaterial(Material::TailLamp);
    addPair(b, {0.9f, 1.5f, rear - 0.04f}, {1.15f, 1.65f, rear}); // tail lamps
    addPair(b, {1.1f, 3.8f, rear - 0.03f}, {1.2f, 3.9f, rear});   // upper markers

    // Underneath: frame rails, kingpin plate, landing legs, side guards, rear bar.
    b.setMaterial(Material::DarkSteel);
    addPair(b, {0.4f, 1.0f, -8.0f}, {0.5f, 1.3f, 4.0f});
    b.addBox({-0.6f, 1.2f, 2.1f}, {0.6f, 1.3f, 3.2f});
    // The landing legs stand just behind the tractor's wheels.
    for (float s : {-1.0f, 1.0f}) {
        b.addBox({s * 0.9f - 0.06f, 0.25f, 0.94f}, {s * 0.9f + 0.06f, 1.3f, 1.06f});
        b.addBox({s * 0.9f - 0.15f, 0.2f, 0.85f}, {s * 0.9f + 0.15f, 0.25f, 1.15f});
    }
    addPair(b, {1.15f, 0.55f, -3.9f}, {1.2f, 0.75f, 0.6f});
    for (float z : {-3.5f, -1.5f, 0.5f})
        addPair(b, {0.5f, 0.7f, z - 0.04f}, {1.15f, 1.3f, z + 0.04f});
    b.addBox({-1.2f, 0.45f, -8.2f}, {1.2f, 0.6f, -8.02f});
    addPair(b, {0.45f, 0.6f, -8.15f}, {0.55f, 1.3f, -8.07f});
    // Mudguards over the three axles.
    b.setMaterial(Material::Rubber);
    addPair(b, {0.5f, 1.1f, -7.85f}, {1.25f, 1.15f, -3.95f});
    return b.mesh();
}

} // namespace assetgen::models
