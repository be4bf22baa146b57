// The bridge and its valley: the road at y = 0 with nothing in the truck's way, the flat
// ground where the pump jacks stand, the river below the deck, and a mesh that faces
// outwards within its triangle budget.
#include <gtest/gtest.h>

#include <cmath>

#include "ModelTestUtil.h"
#include "models/Bridge.h"
#include "models/Terrain.h"

using namespace assetgen::models;

namespace {

const Tarvo::ObjMesh& bridge()
{
    static const Tarvo::ObjMesh mesh = buildBridge();
    return mesh;
}

} // namespace

TEST(ModelTerrain, PlateausAreFlatWhereThePumpJacksStand)
{
    for (float z = kPlateauStart; z <= kPlateauEnd; z += 7.0f) {
        for (float x = kRoadsideX; x <= kPlateauHalfX; x += 11.0f) {
            for (const glm::vec2& at : {glm::vec2(x, z), glm::vec2(-x, z), glm::vec2(x, -z),
                                        glm::vec2(-x, -z)})
                ASSERT_EQ(terrainHeight(at.x, at.y), 0.0f) << at.x << " " << at.y;
        }
        // The road's bed lies just below the road, which is at y = 0.
        EXPECT_NEAR(terrainHeight(0.0f, z), -0.3f, 1e-5f);
    }
}

TEST(ModelTerrain, TheValleyFallsToTheRiverAndHillsRiseBeyond)
{
    EXPECT_LT(terrainHeight(0.0f, kRiverCentre), kRiverLevel);   // river bed under water
    EXPECT_NEAR(terrainHeight(0.0f, kRiverCentre), -27.0f, 1.0f);
    // The oil field under the bridge is flat, where the pump jacks stand.
    for (float x : {-40.0f, 0.0f, 35.0f})
        for (float z : {-60.0f, -28.0f, 0.0f, 22.0f, 45.0f})
            EXPECT_EQ(terrainHeight(x, z), kValleyFloor) << x << " " << z;
    EXPECT_LT(terrainHeight(0.0f, 130.0f), -5.0f);      // banks below the deck
    EXPECT_GT(terrainHeight(0.0f, 130.0f), -25.0f);
    EXPECT_LT(terrainHeight(0.0f, -110.0f), -5.0f);
    EXPECT_GT(terrainHeight(0.0f, -110.0f), -25.0f);
    EXPECT_GT(terrainHeight(300.0f, 500.0f), 15.0f);    // hills at the edge
    EXPECT_NEAR(terrainHeight(0.0f, 500.0f), -0.3f, 1e-5f);  // the road's cut
    // The ground is continuous: neighbouring samples never jump.
    for (float z = -kTerrainHalfZ; z < kTerrainHalfZ; z += 1.0f)
        for (float x : {-400.0f, -30.0f, 0.0f, 270.0f})
            ASSERT_LT(std::fabs(terrainHeight(x, z + 1.0f) - terrainHeight(x, z)), 1.5f) << x << " " << z;
}

TEST(ModelTerrain, NoiseIsSmoothAndBounded)
{
    for (float x = -50.0f; x < 50.0f; x += 0.37f) {
        const float n = valueNoise(x, 0.5f * x);
        ASSERT_GE(n, -1.0f);
        ASSERT_LE(n, 1.0f);
        ASSERT_LT(std::fabs(valueNoise(x + 0.01f, 0.5f * x) - n), 0.05f);
    }
}

TEST(ModelBridge, DeckRoadIsAtZeroAcrossTheValley)
{
    const modeltest::Bounds b = modeltest::bounds(bridge());
    EXPECT_LE(b.min.z, -kDeckHalfLength);
    EXPECT_GE(b.max.z, kDeckHalfLength);
    // Upward-facing triangles at y = 0 spanning the middle of the road cover its
    // whole length.
    int roadTriangles = 0;
    float nearest = 1e9f, farthest = -1e9f;
    const std::vector<modeltest::Corner> all = modeltest::corners(bridge());
    for (std::size_t i = 0; i + 2 < all.size(); i += 3) {
        float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
        bool level = true;
        for (int k = 0; k < 3; ++k) {
            const modeltest::Corner& c = all[i + k];
            level = level && c.normal.y > 0.99f && std::fabs(c.position.y) < 1e-4f;
            minX = std::min(minX, c.position.x);
            maxX = std::max(maxX, c.position.x);
            minZ = std::min(minZ, c.position.z);
            maxZ = std::max(maxZ, c.position.z);
        }
        if (level && minX < 0.0f && maxX > 0.0f && maxZ <= kDeckHalfLength + 1e-3f
            && minZ >= -kDeckHalfLength - 1e-3f) {
            ++roadTriangles;
            nearest = std::min(nearest, minZ);
            farthest = std::max(farthest, maxZ);
        }
    }
    EXPECT_GT(roadTriangles, 0);
    EXPECT_LE(nearest, -kDeckHalfLength + 1.0f);
    EXPECT_GE(farthest, kDeckHalfLength - 1.0f);
}

TEST(ModelBridge, NothingStandsInTheTrucksWay)
{
    // The truck (2.6 m wide with mirrors, 4.5 m tall) drives down the middle of the
    // road from end to end: no corner and no triangle centre may sit in that space.
    const std::vector<modeltest::Corner> all = modeltest::corners(bridge());
    for (std::size_t i = 0; i + 2 < all.size(); i += 3) {
        const glm::vec3 centre = (all[i].position + all[i + 1].position + all[i + 2].position) / 3.0f;
        for (const glm::vec3& p : {all[i].position, all[i + 1].position, all[i + 2].position, centre}) {
            const bool inside = std::fabs(p.x) < 1.6f && p.y > 0.05f && p.y < 4.6f
                                && std::fabs(p.z) < kDeckHalfLength + 20.0f;
            ASSERT_FALSE(inside) << p.x << " " << p.y << " " << p.z;
        }
    }
}

TEST(ModelBridge, PlateausHoldNothingButGroundAndRoad)
{
    for (const glm::vec3& p : bridge().positions) {
        const float d = std::fabs(p.z);
        if (d > kPlateauStart + 10.0f && d < kPlateauEnd && std::fabs(p.x) >= kRoadsideX
            && std::fabs(p.x) < kPlateauHalfX) {
            ASSERT_EQ(p.y, 0.0f) << p.x << " " << p.z;
        }
    }
}

TEST(ModelBridge, FacesOutwardsWithinBudget)
{
    EXPECT_LE(bridge().triangleCount(), 150000u);
    EXPECT_GT(bridge().triangleCount(), 10000u);
    EXPECT_EQ(modeltest::windingAgainstNormals(bridge()), 0u);
    // Towers reach well above the deck; the river lies well below it.
    const modeltest::Bounds b = modeltest::bounds(bridge());
    EXPECT_NEAR(b.max.y, 70.0f, 30.0f); // hills and tower tops
    EXPECT_LT(b.min.y, kRiverLevel);
}
