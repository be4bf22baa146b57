// Bridge geometry. The deck's cross-section is one outline extruded along z; towers
// are tapered blocks whose legs stand outside the deck so the cables pass clear of the
// railings; the cables pair the k-th anchor up a leg with the k-th anchor out along
// the deck, so each fan of nine never crosses itself.
#include "models/Bridge.h"

#include <array>
#include <cmath>

#include "geometry/MeshBuilder.h"
#include "geometry/Outline.h"
#include "models/Terrain.h"
#include "models/Valley.h"

namespace assetgen::models {

namespace {

constexpr float kGirderBottom = -2.2f;
constexpr float kWalkwayTop = 0.25f;
constexpr float kSlabBottom = -0.1f; // the road slab and walkways sit on the girder
constexpr float kTowerFoot = -34.0f;
constexpr int kCablesPerFan = 9;

void addDeck(MeshBuilder& b)
{
    const float w = kDeckHalfWidth;
    const float r = kRoadHalfWidth;
    // The concrete box girder, then the road slab and the raised walkways on top of it.
    const Outline girder{{-3.5f, kGirderBottom}, {3.5f, kGirderBottom}, {w, -0.4f},
                         {w, kSlabBottom},        {-w, kSlabBottom},       {-w, -0.4f}};
    // In pieces, so no triangle runs the whole length of the bridge.
    for (float z = -kDeckHalfLength; z < kDeckHalfLength; z += 50.0f) {
        b.setMaterial(Material::Concrete);
        b.addPrism(girder, z, z + 50.0f);
        b.setMaterial(Material::Asphalt);
        b.addBox({-r, kSlabBottom, z}, {r, 0.0f, z + 50.0f});
        b.setMaterial(Material::Kerb);
        b.addBox({r, kSlabBottom, z}, {w, kWalkwayTop, z + 50.0f});
        b.addBox({-w, kSlabBottom, z}, {-r, kWalkwayTop, z + 50.0f});
    }
}

void addRailings(MeshBuilder& b)
{
    b.setMaterial(Material::Railing);
    const float length = 2.0f * kDeckHalfLength;
    for (float s : {-1.0f, 1.0f}) {
        const float outer = s * (kDeckHalfWidth - 0.15f);
        const float inner = s * (kRoadHalfWidth + 0.1f);
        for (int i = 0; i <= static_cast<int>(length / 2.5f); ++i) {
            const float z = -kDeckHalfLength + 2.5f * static_cast<float>(i);
            b.addBox({outer - 0.04f, kWalkwayTop, z - 0.04f}, {outer + 0.04f, 1.3f, z + 0.04f});
        }
        for (int i = 0; i <= static_cast<int>(length / 4.0f); ++i) {
            const float z = -kDeckHalfLength + 4.0f * static_cast<float>(i);
            b.addBox({inner - 0.05f, kWalkwayTop, z - 0.05f}, {inner + 0.05f, 0.95f, z + 0.05f});
        }
        for (float z = -kDeckHalfLength; z < kDeckHalfLength; z += 50.0f) {
            b.addBox({outer - 0.05f, 1.25f, z}, {outer + 0.05f, 1.33f, z + 50.0f});
            b.addBox({outer - 0.03f, 0.75f, z}, {outer + 0.03f, 0.8f, z + 50.0f});
            // The crash barrier faces the road.
            b.addBox({inner - s * 0.08f - 0.04f, 0.55f, z}, {inner - s * 0.08f + 0.04f, 0.9f, z + 50.0f});
        }
        // Street lamps on alternate sides, arms over the road, a glowing lens under
        // each head.
        for (int i = 0; i < 10; ++i) {
            const float z = -135.0f + 30.0f * static_cast<float>(i) + (s > 0 ? 0.0f : 15.0f);
            const float x = s * (kDeckHalfWidth - 0.5f);
            const float head = s * (kRoadHalfWidth - 1.4f);
            b.setMaterial(Material::LampPost);
            b.addCylinder({x, kWalkwayTop, z}, {x, 9.0f, z}, 0.09f, 8);
            b.addBeam({x, 8.85f, z}, {s * (kRoadHalfWidth - 1.0f), 9.1f, z}, 0.1f, 0.1f);
            b.addBox({head - 0.3f, 8.9f, z - 0.18f}, {head + 0.3f, 9.12f, z + 0.18f});
            b.setMaterial(Material::StreetLamp);
            b.addBox({head - 0.25f, 8.84f, z - 0.13f}, {head + 0.25f, 8.9f, z + 0.13f});
            b.setMaterial(Material::Railing);
        }
    }
}

// Centre and half-sizes of a tower leg at height y (it narrows and leans inwards).
struct LegSection {
    float x, halfX, halfZ;
};

LegSection legAt(float side, float y)
{
    const float t = (y - kTowerFoot) / (kTowerTop - kTowerFoot);
    return {side * (8.8f + (7.0f - 8.8f) * t), 1.5f + (0.9f - 1.5f) * t, 2.0f + (1.3f - 2.0f) * t};
}

void addTower(MeshBuilder& b, float zt)
{
    b.setMaterial(Material::Concrete);
    for (float s : {-1.0f, 1.0f}) {
        std::array<glm::vec3, 8> c;
        for (int i = 0; i < 8; ++i) {
            const float y = i & 2 ? kTowerTop : kTowerFoot;
            const LegSection leg = legAt(s, y);
            c[i] = {leg.x + (i & 1 ? leg.halfX : -leg.halfX), y,
                    zt + (i & 4 ? leg.halfZ : -leg.halfZ)};
        }
        b.addBlock(c);
    }
    b.addBox({-7.6f, -4.4f, zt - 1.6f}, {7.6f, kGirderBottom, zt + 1.6f}); // carries the deck
    b.addBox({-7.2f, 44.0f, zt - 1.1f}, {7.2f, 46.5f, zt + 1.1f});
    b.addBox({-7.0f, 50.0f, zt - 1.0f}, {7.0f, kTowerTop, zt + 1.0f});
    const float ground = terrainHeight(0.0f, zt);
    b.addBox({-12.5f, ground - 3.0f, zt - 4.5f}, {12.5f, ground + 0.8f, zt + 4.5f}); // pile cap

    // Stay cables: anchors up each leg from y = 34 to 50, to the deck's outer edge
    // from 10 m out to 51.6 m, on both sides of the tower.
    b.setMaterial(Material::Cable);
    for (float s : {-1.0f, 1.0f}) {
        for (float dir : {-1.0f, 1.0f}) {
            for (int k = 0; k < kCablesPerFan; ++k) {
                const float y = 34.0f + 2.0f * static_cast<float>(k);
                const glm::vec3 top(legAt(s, y).x, y, zt + dir * 0.5f);
                const glm::vec3 deck(s * (kDeckHalfWidth + 0.1f), -0.2f,
                                     zt + dir * (10.0f + 5.2f * static_cast<float>(k)));
                b.addCylinder(top, deck, 0.1f, 6, false);
                b.addBox(deck - glm::vec3(0.15f, 0.25f, 0.25f), deck + glm::vec3(0.15f, 0.25f, 0.25f));
            }
        }
    }
}

void addPier(MeshBuilder& b, float z)
{
    b.setMaterial(Material::Concrete);
    b.addBox({-5.0f, -3.4f, z - 1.2f}, {5.0f, kGirderBottom, z + 1.2f});
    for (float s : {-1.0f, 1.0f}) {
        const float ground = terrainHeight(s * 3.0f, z);
        b.addCylinder({s * 3.0f, ground - 3.0f, z}, {s * 3.0f, -3.4f, z}, 1.0f, 16);
    }
}

void addAbutment(MeshBuilder& b, float side)
{
    b.setMaterial(Material::Concrete);
    const float z0 = side * (kDeckHalfLength - 6.0f);
    const float z1 = side * (kDeckHalfLength + 3.0f);
    b.addBox({-6.0f, -10.0f, std::fmin(z0, z1)}, {6.0f, kGirderBottom, std::fmax(z0, z1)});
    for (float s : {-1.0f, 1.0f}) {
        const float x0 = s * kDeckHalfWidth;
        const float x1 = s * (kDeckHalfWidth + 1.0f);
        b.addBox({std::fmin(x0, x1), -8.0f, std::fmin(z0, z1)},
                 {std::fmax(x0, x1), 0.3f, std::fmax(z0, z1)});
    }
}

} // namespace

Tarvo::ObjMesh buildBridge()
{
    MeshBuilder b;
    b.setUvScale(4.0f);
    addDeck(b);
    addRailings(b);
    for (float s : {-1.0f, 1.0f}) {
        addTower(b, s * kTowerZ);
        addPier(b, s * 80.0f);
        addPier(b, s * 105.0f);
        addAbutment(b, s);
    }
    addTerrain(b, kDeckHalfLength, kRoadHalfWidth);
    addValley(b);
    return b.mesh();
}

} // namespace assetgen::models
