// The valley floor's furniture and the ground under it: tanks, road and pipeline stand on
// the flat floor clear of the pump jacks (where the timeline puts them) and of the
// bridge's feet; the ground grid is finer over the valley than at the land's edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ModelTestUtil.h"
#include "models/Terrain.h"
#include "models/Valley.h"

using namespace assetgen;
using namespace assetgen::models;

namespace {

// What already stands on the floor, as rectangles in x and z: the three pump jacks'
// pads (where the timeline's jaakko tracks put them, 7 m round at scale 1.3), the
// towers' pile caps and the river piers' legs.
struct Footprint {
    float x0, x1, z0, z1;
};

Footprint around(float x, float z, float half)
{
    return {x - half, x + half, z - half, z + half};
}

const std::vector<Footprint> kOccupied = {
    around(0.0f, 0.0f, 7.0f),       around(-30.0f, -28.0f, 7.0f), around(26.0f, 22.0f, 7.0f),
    {-12.5f, 12.5f, -59.5f, -50.5f}, {-12.5f, 12.5f, 50.5f, 59.5f}, {-4.0f, 4.0f, 79.0f, 81.0f},
};

float distanceTo(const Footprint& f, float x, float z)
{
    const float dx = std::max({f.x0 - x, 0.0f, x - f.x1});
    const float dz = std::max({f.z0 - z, 0.0f, z - f.z1});
    return std::hypot(dx, dz);
}

TEST(ModelValley, TanksStandOnTheFlatFloorClearOfEverythingElse)
{
    for (const OilTank& t : kOilTanks) {
        for (float a = 0.0f; a < 6.3f; a += 0.5f)
            EXPECT_EQ(terrainHeight(t.x + t.radius * std::cos(a), t.z + t.radius * std::sin(a)), kValleyFloor)
                << t.x << " " << t.z;
        for (const Footprint& f : kOccupied)
            EXPECT_GT(distanceTo(f, t.x, t.z), t.radius + 2.0f) << t.x << " " << t.z;
        // Off the road and the pipeline.
        EXPECT_GT(std::fabs(t.z - kValleyRoadZ), t.radius + kValleyRoadHalfWidth + 1.0f) << t.x << " " << t.z;
        EXPECT_GT(std::fabs(t.z - kPipelineZ), t.radius + 1.0f) << t.x << " " << t.z;
    }
    for (std::size_t i = 0; i < std::size(kOilTanks); ++i)
        for (std::size_t j = i + 1; j < std::size(kOilTanks); ++j)
            EXPECT_GT(std::hypot(kOilTanks[i].x - kOilTanks[j].x, kOilTanks[i].z - kOilTanks[j].z),
                      kOilTanks[i].radius + kOilTanks[j].radius + 3.0f);
}

TEST(ModelValley, RoadAndPipelineRunOnTheFloorPastTheJacksAndTowers)
{
    for (float x = -kValleyEndX; x <= kValleyEndX; x += 25.0f) {
        EXPECT_EQ(terrainHeight(x, kValleyRoadZ - kValleyRoadHalfWidth), kValleyFloor) << x;
        EXPECT_EQ(terrainHeight(x, kValleyRoadZ + kValleyRoadHalfWidth), kValleyFloor) << x;
        EXPECT_EQ(terrainHeight(x, kPipelineZ), kValleyFloor) << x;
    }
    // Both run the valley's length, so they must pass beside every footprint in z.
    for (const Footprint& f : kOccupied) {
        EXPECT_TRUE(kValleyRoadZ + kValleyRoadHalfWidth < f.z0 || kValleyRoadZ - kValleyRoadHalfWidth > f.z1)
            << f.z0 << " " << f.z1;
        EXPECT_TRUE(kPipelineZ + 0.6f < f.z0 || kPipelineZ - 0.6f > f.z1) << f.z0 << " " << f.z1;
    }
}

TEST(ModelValley, ValleyFurnitureFacesOutwards)
{
    MeshBuilder b;
    addValley(b);
    EXPECT_GT(b.triangleCount(), 1000u);
    EXPECT_EQ(modeltest::windingAgainstNormals(b.mesh()), 0u);
    const modeltest::Bounds box = modeltest::bounds(b.mesh());
    EXPECT_GE(box.min.y, kValleyFloor - 0.5f); // nothing sunk below the floor's skirt
    EXPECT_LT(box.max.y, kValleyFloor + 20.0f);
}

TEST(ModelValley, GroundGridFollowsItsLinesFineOverTheValley)
{
    MeshBuilder b;
    HeightGrid grid;
    b.addHeightField({0.0f, 1.0f, 3.0f}, {0.0f, 2.0f}, grid, [](float x, float z) { return x + z; });
    EXPECT_EQ(b.triangleCount(), 4u);
    for (const glm::vec3& p : b.mesh().positions) {
        EXPECT_TRUE(p.x == 0.0f || p.x == 1.0f || p.x == 3.0f) << p.x;
        EXPECT_EQ(p.y, p.x + p.z);
    }

    // The show's ground: cells of a few metres round the bridge, coarser at the edge.
    MeshBuilder ground;
    addTerrain(ground, 150.0f, 4.0f);
    std::vector<float> xs;
    for (const glm::vec3& p : ground.mesh().positions)
        if (p.z == ground.mesh().positions.front().z)
            xs.push_back(p.x);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    float nearStep = 1e9f, farStep = 0.0f;
    for (std::size_t i = 1; i < xs.size(); ++i) {
        const float step = xs[i] - xs[i - 1];
        if (std::fabs(xs[i]) < 100.0f)
            nearStep = std::min(nearStep, step);
        if (std::fabs(xs[i]) > 300.0f)
            farStep = std::max(farStep, step);
    }
    EXPECT_LE(nearStep, 4.0f);
    EXPECT_GT(farStep, nearStep);
}

} // namespace
