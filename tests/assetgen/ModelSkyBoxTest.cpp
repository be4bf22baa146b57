// The sky box: seen from inside, its texture coordinates are the panorama coordinates
// of the world direction each point shows once the scene turns it by -90 degrees about
// z, and no triangle's coordinates run back across the image at the seam.
#include <gtest/gtest.h>

#include <cmath>

#include "ModelTestUtil.h"
#include "engine/Transform.h"
#include "models/SkyBox.h"

using namespace assetgen::models;

TEST(ModelSkyBox, ObjectToWorldIsTheScenesTurnAboutZ)
{
    // The scene draws the sky with rotate(-90 degrees, z); world up is object -x.
    const glm::mat4 turn = Tarvo::rotate(glm::mat4(1.0f), -90.0f, glm::vec3(0, 0, 1));
    for (const glm::vec3& p : {glm::vec3(1, 0, 0), glm::vec3(0, 1, 0), glm::vec3(0.3f, -0.2f, 0.9f)}) {
        const glm::vec3 world(turn * glm::vec4(p, 1.0f));
        EXPECT_NEAR(glm::length(world - skyWorldFromObject(p)), 0.0f, 1e-6f);
        EXPECT_NEAR(glm::length(skyObjectFromWorld(skyWorldFromObject(p)) - p), 0.0f, 1e-6f);
    }
    EXPECT_EQ(skyWorldFromObject({-1, 0, 0}), glm::vec3(0, 1, 0));
}

TEST(ModelSkyBox, PanoramaCoordinatesOfDirections)
{
    EXPECT_NEAR(skyTexCoord({0, 1, 0}).y, 0.0f, 1e-6f);  // zenith: first row
    EXPECT_NEAR(skyTexCoord({0, -1, 0}).y, 1.0f, 1e-6f); // nadir: last row
    EXPECT_NEAR(skyTexCoord({1, 0, 0}).x, 0.0f, 1e-6f);
    EXPECT_NEAR(skyTexCoord({0, 0, 1}).x, 0.25f, 1e-6f); // longitude runs from +x to +z
    EXPECT_NEAR(skyTexCoord({-1, 0, 0}).x, 0.5f, 1e-6f);
    EXPECT_NEAR(skyTexCoord({0, 0, -1}).x, 0.75f, 1e-6f);
    EXPECT_NEAR(skyTexCoord({2, 0, 0}).y, 0.5f, 1e-6f); // horizon, any length
    EXPECT_EQ(skyTexCoord({0, 0, 0}), glm::vec2(0.0f)); // no direction: a safe corner
}

TEST(ModelSkyBox, EveryCornerShowsItsOwnDirectionFromInside)
{
    const Tarvo::ObjMesh sky = buildSkyBox();
    const std::vector<modeltest::Corner> corners = modeltest::corners(sky);
    ASSERT_EQ(corners.size(), 3u * (2 * kSkySegments * (kSkyRings - 1)));
    for (const modeltest::Corner& c : corners) {
        EXPECT_NEAR(glm::length(c.position), kSkyRadius, 1e-4f);
        EXPECT_NEAR(glm::dot(c.normal, -glm::normalize(c.position)), 1.0f, 1e-5f); // inward
        const glm::vec3 world = skyWorldFromObject(c.position);
        const glm::vec2 expected = skyTexCoord(world);
        EXPECT_NEAR(c.uv.y, expected.y, 1e-5f);
        const bool pole = c.uv.y < 1e-6f || c.uv.y > 1.0f - 1e-6f;
        if (!pole) {
            // The seam's right-hand column carries u = 1 where the direction gives 0.
            const float u = c.uv.x >= 1.0f ? 0.0f : c.uv.x;
            EXPECT_NEAR(u, expected.x, 1e-5f);
        }
    }
    // The triangles face the centre: seen from inside they wind counter-clockwise.
    EXPECT_EQ(modeltest::windingAgainstNormals(sky), 0u);
    EXPECT_LT(modeltest::signedVolume(sky), 0.0);
}

TEST(ModelSkyBox, NoTriangleSpansTheSeamOrMoreThanOneColumn)
{
    const std::vector<modeltest::Corner> corners = modeltest::corners(buildSkyBox());
    float widest = 0.0f;
    for (std::size_t i = 0; i + 2 < corners.size(); i += 3) {
        float lo = 1.0f, hi = 0.0f;
        for (int k = 0; k < 3; ++k) {
            lo = std::min(lo, corners[i + k].uv.x);
            hi = std::max(hi, corners[i + k].uv.x);
        }
        widest = std::max(widest, hi - lo);
    }
    EXPECT_LE(widest, 1.0f / kSkySegments + 1e-6f);
}

TEST(ModelSkyBox, SeamPositionsAreSharedAcrossTheImageEdge)
{
    // Corners at u = 0 and u = 1 sit at the same points, so the sphere has no crack.
    const Tarvo::ObjMesh sky = buildSkyBox();
    int seamPairs = 0;
    for (const modeltest::Corner& a : modeltest::corners(sky)) {
        if (a.uv.x != 1.0f)
            continue;
        for (const modeltest::Corner& b : modeltest::corners(sky))
            if (b.uv.x == 0.0f && b.uv.y == a.uv.y) {
                EXPECT_EQ(a.position, b.position);
                ++seamPairs;
                break;
            }
    }
    EXPECT_GT(seamPairs, 0);
    // One shared position per ring (plus the poles), not two.
    EXPECT_EQ(sky.positions.size(), std::size_t(kSkySegments * (kSkyRings - 1) + 2));
}
