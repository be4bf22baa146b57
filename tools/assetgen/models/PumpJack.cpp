// Pump jack geometry. Sizes are a small field unit's, in metres: an 8.9 m concrete pad,
// the pivot 5.4 m up, a 3 m horse head. Clearances between moving parts follow from the
// linkage: the crank arms and counterweights turn between the gearbox (|z| < 0.45) and
// the pitman arms (|z| near 0.94), which hang outboard so the weights pass inside them.
#include "models/PumpJack.h"

#include <cmath>
#include <numbers>

#include "geometry/MeshBuilder.h"
#include "geometry/Outline.h"

namespace assetgen::models {

namespace {

constexpr int kRound = 16; // segments of shafts and bosses
constexpr glm::vec3 kAlongZ(0.0f, 0.0f, 1.0f);

Tarvo::ObjMesh buildBase(const PumpJackGeometry& g)
{
    MeshBuilder b;
    // Pad and skid.
    b.setMaterial(Material::ConcretePad);
    b.addBox({-5.2f, 0.0f, -1.7f}, {3.7f, 0.2f, 1.7f});
    b.setMaterial(Material::DarkSteel);
    for (float s : {-1.0f, 1.0f}) {
        b.addBox({-4.9f, 0.2f, s > 0 ? 0.75f : -1.0f}, {1.4f, 0.55f, s > 0 ? 1.0f : -0.75f});
    }
    for (float x : {-4.6f, -3.0f, -1.2f, 0.9f})
        b.addBox({x - 0.1f, 0.2f, -0.75f}, {x + 0.1f, 0.45f, 0.75f});

    // Gearbox on its pedestal: a box with a rounded top around the output shaft.
    const glm::vec2 c = g.crankCentre;
    b.setMaterial(Material::JackPaint);
    b.addBox({c.x - 0.7f, 0.45f, -0.45f}, {c.x + 0.7f, 0.9f, 0.45f});
    Outline gearbox{{c.x - 0.65f, 0.9f}, {c.x + 0.65f, 0.9f}};
    for (int i = 0; i <= 12; ++i) {
        const float a = std::numbers::pi_v<float> * static_cast<float>(i) / 12.0f;
        gearbox.push_back(c + 0.65f * glm::vec2(std::cos(a), std::sin(a)));
    }
    b.addPrism(gearbox, -0.42f, 0.42f, 20.0f);
    for (float s : {-1.0f, 1.0f})
        b.addCylinder({c, s * 0.4f}, {c, s * 0.5f}, 0.24f, kRound);

    // Motor behind the gearbox and the belt guard between them, inside the crank's reach
    // in z so the counterweights clear it.
    b.setMaterial(Material::DarkSteel);
    b.addBox({-4.7f, 0.45f, -0.35f}, {-4.0f, 0.68f, 0.35f});
    b.addCylinder({-4.35f, 1.0f, -0.35f}, {-4.35f, 1.0f, 0.3f}, 0.32f, kRound);
    b.setMaterial(Material::JackAccent);
    b.addPrism(slotOutline({-4.35f, 1.0f}, {c.x - 0.75f, 1.15f}, 0.3f, 8), 0.3f, 0.42f, 30.0f);

    // Wellhead under the rod line: casing, tee with the flow line, stuffing box.
    const float x = g.rodLineX();
    b.setMaterial(Material::Pipe);
    b.addCylinder({x, 0.2f, 0.0f}, {x, 0.95f, 0.0f}, 0.16f, kRound);
    b.addCylinder({x, 0.7f, -0.35f}, {x, 0.7f, 0.35f}, 0.1f, kRound);
    b.addCylinder({x, 0.7f, 0.35f}, {x, 0.7f, 1.5f}, 0.07f, 10);
    b.addCylinder({x, 0.7f, 1.5f}, {x, 0.2f, 1.5f}, 0.07f, 10);
    b.addCylinder({x, 0.95f, 0.0f}, {x, 1.35f, 0.0f}, 0.11f, kRound);
    b.addCylinder({x, 0.5f, -0.35f}, {x, 0.5f, -0.5f}, 0.13f, kRound); // valve wheel
    return b.mesh();
}

Tarvo::ObjMesh buildSamsonPost(const PumpJackGeometry& g)
{
    MeshBuilder b;
    b.setMaterial(Material::JackPaint);
    const float top = g.pivot.y - 0.4f;
    const glm::vec3 up(1.0f, 0.0f, 0.0f);
    for (float s : {-1.0f, 1.0f}) {
        const glm::vec3 head(g.pivot.x, top, s * 0.3f);
        b.addBeam({g.pivot.x + 1.1f, 0.55f, s * 0.95f}, head + glm::vec3(0.12f, 0, 0), 0.16f,
                  0.16f, up);
        b.addBeam({g.pivot.x - 1.5f, 0.55f, s * 0.95f}, head - glm::vec3(0.12f, 0, 0), 0.16f,
                  0.16f, up);
        // Brace between the front and rear legs halfway up.
        b.addBeam({g.pivot.x - 0.86f, 2.6f, s * 0.66f}, {g.pivot.x + 0.6f, 2.6f, s * 0.66f}, 0.1f,
                  0.1f);
        // Pillow blocks of the saddle bearing.
        b.addBox({g.pivot.x - 0.2f, top + 0.1f, s > 0 ? 0.2f : -0.42f},
                 {g.pivot.x + 0.2f, g.pivot.y - 0.05f, s > 0 ? 0.42f : -0.2f});
    }
    // Cross braces between the two sides, front and rear.
    b.addBeam({g.pivot.x + 0.62f, 2.6f, -0.66f}, {g.pivot.x + 0.62f, 2.6f, 0.66f}, 0.1f, 0.1f);
    b.addBeam({g.pivot.x - 0.88f, 2.6f, -0.66f}, {g.pivot.x - 0.88f, 2.6f, 0.66f}, 0.1f, 0.1f);
    b.addBox({g.pivot.x - 0.35f, top, -0.45f}, {g.pivot.x + 0.35f, top + 0.1f, 0.45f});
    return b.mesh();
}

// About the pivot: the beam rides above it, the head's arc is centred on it.
Tarvo::ObjMesh buildBeam(const PumpJackGeometry& g)
{
    MeshBuilder b;
    b.setMaterial(Material::JackPaint);
    const float tail = g.equaliserOnBeam.x - 0.35f;
    const float front = g.headRadius - 0.35f;
    b.addBox({tail, 0.12f, -0.2f}, {front, 0.18f, 0.2f});  // bottom flange
    b.addBox({tail, 0.66f, -0.2f}, {front, 0.72f, 0.2f});  // top flange
    b.addBox({tail, 0.18f, -0.02f}, {front, 0.66f, 0.02f}); // web
    for (float x = tail + 0.3f; x < front - 0.3f; x += 0.65f)
        b.addBox({x - 0.015f, 0.18f, -0.19f}, {x + 0.015f, 0.66f, 0.19f}); // stiffeners
    b.addBox({-0.35f, 0.02f, -0.25f}, {0.35f, 0.12f, 0.25f}); // saddle
    b.addCylinder({0.0f, 0.0f, -0.45f}, {0.0f, 0.0f, 0.45f}, 0.1f, kRound);

    // Horse head: a ring sector around the pivot, deep enough to hold the cable ends.
    const float spread = 38.0f * std::numbers::pi_v<float> / 180.0f;
    b.setMaterial(Material::JackAccent);
    b.addPrism(ringSectorOutline({0.0f, 0.0f}, g.headRadius - 0.5f, g.headRadius, -spread, spread,
                                 16),
               -0.3f, 0.3f, 15.0f);

    // Equaliser: bracket under the tail and the cross bar the pitman arms hang from.
    const glm::vec2 e = g.equaliserOnBeam;
    b.setMaterial(Material::JackPaint);
    b.addBox({e.x - 0.15f, e.y, -0.2f}, {e.x + 0.15f, 0.12f, 0.2f});
    b.addCylinder({e, -g.pitmanSide - 0.12f}, {e, g.pitmanSide + 0.12f}, 0.08f, kRound);
    b.addBox({e.x - 0.18f, e.y - 0.12f, -0.6f}, {e.x + 0.18f, e.y + 0.12f, 0.6f});
    return b.mesh();
}

// About the output shaft; the pins point along +x at angle 0.
Tarvo::ObjMesh buildCrank(const PumpJackGeometry& g)
{
    MeshBuilder b;
    const float r = g.crankRadius;
    const float sweep = 0.55f;
    for (float s : {-1.0f, 1.0f}) {
        // Prisms accept their two faces in either order, so one side mirrors the other.
        b.setMaterial(Material::JackPaint);
        b.addPrism(slotOutline({-0.35f, 0.0f}, {r, 0.0f}, 0.2f, 8), s * 0.5f, s * 0.62f, 30.0f);
        b.setMaterial(Material::JackAccent);
        b.addPrism(ringSectorOutline({0.0f, 0.0f}, 0.45f, 1.15f, std::numbers::pi_v<float> - sweep,
                                     std::numbers::pi_v<float> + sweep, 10),
                   s * 0.62f, s * 0.8f, 15.0f);
        b.setMaterial(Material::DarkSteel);
        b.addCylinder({r, 0.0f, s * 0.5f}, {r, 0.0f, s * (g.pitmanSide + 0.12f)}, 0.07f, kRound);
        b.addCylinder({0.0f, 0.0f, s * 0.42f}, {0.0f, 0.0f, s * 0.66f}, 0.2f, kRound);
    }
    b.addCylinder({0.0f, 0.0f, -0.5f}, {0.0f, 0.0f, 0.5f}, 0.12f, kRound);
    return b.mesh();
}

// Hanging from the equaliser joint along -y down to the crank pin.
Tarvo::ObjMesh buildPitman(const PumpJackGeometry& g)
{
    MeshBuilder b;
    b.setMaterial(Material::JackPaint);
    const float length = g.pitmanLength();
    for (float s : {-1.0f, 1.0f}) {
        const float z = s * g.pitmanSide;
        b.addBeam({0.0f, -0.08f, z}, {0.0f, -length + 0.08f, z}, 0.1f, 0.14f, {1, 0, 0});
        for (float y : {0.0f, -length})
            b.addCylinder({0.0f, y, z - 0.06f}, {0.0f, y, z + 0.06f}, 0.12f, kRound);
    }
    return b.mesh();
}

// About the carrier bar on the rod line: the cables rise into the horse head (their
// upper ends stay inside it at every beam angle), the polished rod drops into the
// stuffing box.
Tarvo::ObjMesh buildBridle(const PumpJackGeometry& g)
{
    MeshBuilder b;
    b.setMaterial(Material::DarkSteel);
    b.addBox({-0.1f, -0.07f, -0.3f}, {0.1f, 0.07f, 0.3f});
    b.setMaterial(Material::Cable);
    for (float z : {-0.14f, 0.14f})
        b.addCylinder({0.0f, 0.07f, z}, {0.0f, g.cableLength(), z}, 0.025f, 6);
    b.setMaterial(Material::DarkSteel);
    b.addBox({-0.07f, -0.22f, -0.07f}, {0.07f, -0.07f, 0.07f});
    b.setMaterial(Material::Chrome);
    b.addCylinder({0.0f, -0.22f, 0.0f}, {0.0f, -3.0f, 0.0f}, 0.04f, 10);
    return b.mesh();
}

} // namespace

std::vector<Tarvo::ObjMesh> buildPumpJackParts(const PumpJackGeometry& geometry)
{
    std::vector<Tarvo::ObjMesh> parts(std::size(kPumpJackParts));
    parts[JackBase] = buildBase(geometry);
    parts[JackSamson] = buildSamsonPost(geometry);
    parts[JackBeam] = buildBeam(geometry);
    parts[JackCrank] = buildCrank(geometry);
    parts[JackPitman] = buildPitman(geometry);
    parts[JackBridle] = buildBridle(geometry);
    return parts;
}

} // namespace assetgen::models
