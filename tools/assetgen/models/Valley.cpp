// Valley furniture. Everything sits on the flat floor at kValleyFloor; long runs are
// built in pieces so no triangle spans the valley.
#include "models/Valley.h"

#include "models/Terrain.h"

namespace assetgen::models {

namespace {

constexpr float kRunEnd = kValleyEndX - 10.0f; // the road and pipeline stop at the hills' foot
constexpr float kPiece = 30.0f;
constexpr float kRoadTop = 0.12f;     // above the floor, clear of depth fighting far off
constexpr float kPipeRadius = 0.45f;
constexpr float kPipeAxis = 1.1f;     // above the floor
constexpr float kSupportSpacing = 10.0f;

void addRoad(MeshBuilder& b)
{
    b.setMaterial(Material::Asphalt);
    const float z0 = kValleyRoadZ - kValleyRoadHalfWidth;
    const float z1 = kValleyRoadZ + kValleyRoadHalfWidth;
    for (float x = -kRunEnd; x < kRunEnd; x += kPiece)
        b.addBox({x, kValleyFloor - 0.2f, z0}, {x + kPiece, kValleyFloor + kRoadTop, z1});
}

void addPipeline(MeshBuilder& b)
{
    const float y = kValleyFloor + kPipeAxis;
    b.setMaterial(Material::Pipe);
    for (float x = -kRunEnd; x < kRunEnd; x += kPiece)
        b.addCylinder({x, y, kPipelineZ}, {x + kPiece, y, kPipelineZ}, kPipeRadius, 12, false);
    // Flanged joints and the supports under them.
    for (float x = -kRunEnd; x <= kRunEnd; x += kSupportSpacing) {
        b.setMaterial(Material::Pipe);
        b.addCylinder({x - 0.1f, y, kPipelineZ}, {x + 0.1f, y, kPipelineZ}, kPipeRadius + 0.08f, 12);
        b.setMaterial(Material::ConcretePad);
        b.addBox({x - 0.3f, kValleyFloor - 0.2f, kPipelineZ - 0.6f},
                 {x + 0.3f, y - kPipeRadius, kPipelineZ + 0.6f});
    }
}

void addTank(MeshBuilder& b, const OilTank& t)
{
    const glm::vec3 foot(t.x, kValleyFloor, t.z);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    b.setMaterial(Material::ConcretePad);
    b.addCylinder(foot - 0.3f * up, foot + 0.3f * up, t.radius + 0.8f, 24);
    b.setMaterial(Material::Tank);
    b.addCylinder(foot, foot + t.height * up, t.radius, 24, false);
    b.addFrustum(foot + t.height * up, foot + (t.height + 0.18f * t.radius) * up, t.radius, 0.6f, 24);
    // A railing round the roof's edge and the stair's stringer up the side.
    b.setMaterial(Material::Railing);
    b.addFrustum(foot + (t.height + 0.9f) * up, foot + (t.height + 1.0f) * up, t.radius + 0.05f,
                 t.radius + 0.05f, 24, false);
    b.addBeam(foot + glm::vec3(t.radius + 0.4f, 0.0f, -0.8f), foot + glm::vec3(t.radius + 0.4f, t.height, 2.6f),
              0.12f, 0.5f, {1.0f, 0.0f, 0.0f});
}

} // namespace

void addValley(MeshBuilder& b)
{
    addRoad(b);
    addPipeline(b);
    for (const OilTank& tank : kOilTanks)
        addTank(b, tank);
}

} // namespace assetgen::models
