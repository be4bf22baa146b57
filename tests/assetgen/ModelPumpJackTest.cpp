// The pump jack's animation, evaluated the way the animated model draws it (keys blended
// by the mesh library, post matrices built by it): the linkage's joints stay together
// between keys, the beam nods through one cycle per crank revolution, and the parts
// sit on the base and clear each other.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ModelTestUtil.h"
#include "mesh/AniPart.h"
#include "mesh/NwaFile.h"
#include "models/PumpJack.h"
#include "models/PumpJackLinkage.h"

using namespace assetgen::models;

namespace {


// The generated animation after a round trip through its text, as the show reads it.
class PumpJackAnimation : public testing::Test {
protected:
    void SetUp() override
    {
        Tarvo::NwaFile nwa;
        ASSERT_TRUE(modeltest::readBackAnimation(pumpJackAnimation(geometry), nwa, parts));
        ASSERT_EQ(parts.size(), std::size(kPumpJackParts));
    }

    // Where a point of a part's mesh is drawn at time t, in the jack's model space.
    glm::vec3 placed(PumpJackPart part, const glm::vec3& local, double t) const
    {
        const glm::mat4 post = Tarvo::partPostMatrix(parts[part].evaluate(t));
        return glm::vec3(post * glm::vec4(local, 1.0f));
    }

    // The beam's angle in degrees at time t, as drawn.
    float beamDegrees(double t) const
    {
        return parts[JackBeam].evaluate(t).rotation.z * Tarvo::kAniDegreesPerRadian;
    }

    PumpJackGeometry geometry;
    std::vector<Tarvo::AniPart> parts;
};

} // namespace

TEST(ModelPumpJackLinkage, SolvedPosesKeepThePitmanLength)
{
    const PumpJackGeometry g;
    for (int i = 0; i < 360; i += 5) {
        const PumpJackPose pose = solvePumpJack(g, float(i) * std::numbers::pi_v<float> / 180.0f);
        EXPECT_NEAR(glm::length(pose.equaliser - pose.crankPin), g.pitmanLength(), 1e-4f) << i;
        EXPECT_NEAR(glm::length(pose.crankPin - g.crankCentre), g.crankRadius, 1e-5f);
        EXPECT_NEAR(glm::length(pose.equaliser - g.pivot), glm::length(g.equaliserOnBeam), 1e-5f);
    }
    // Crank pin level with the shaft on either side: the beam is level.
    EXPECT_NEAR(solvePumpJack(g, 0.0f).beamAngle, 0.0f, 1e-5f);
    EXPECT_NEAR(solvePumpJack(g, std::numbers::pi_v<float>).beamAngle, 0.0f, 1e-5f);
    // Pin up pushes the tail up and the head down.
    EXPECT_LT(solvePumpJack(g, std::numbers::pi_v<float> / 2).beamAngle, -0.2f);
    EXPECT_GT(solvePumpJack(g, -std::numbers::pi_v<float> / 2).beamAngle, 0.2f);
}

TEST_F(PumpJackAnimation, JointsStayTogetherBetweenKeys)
{
    const float length = geometry.pitmanLength();
    const float side = geometry.pitmanSide;
    const glm::vec3 tail(geometry.equaliserOnBeam, side);
    const glm::vec3 pin(geometry.crankRadius, 0.0f, side);
    double worstTop = 0.0, worstPin = 0.0;
    for (double t = 0.0; t < 64.0; t += 0.25) {
        // Tail bearing on the beam against the top of the pitman arm.
        const glm::vec3 beamEnd = placed(JackBeam, tail, t);
        const glm::vec3 armTop = placed(JackPitman, {0.0f, 0.0f, side}, t);
        worstTop = std::max(worstTop, double(glm::length(beamEnd - armTop)));
        // Crank pin against the bottom of the pitman arm.
        const glm::vec3 crankPin = placed(JackCrank, pin, t);
        const glm::vec3 armFoot = placed(JackPitman, {0.0f, -length, side}, t);
        worstPin = std::max(worstPin, double(glm::length(crankPin - armFoot)));
    }
    EXPECT_LT(worstTop, 0.01);  // metres, before the scene's scale
    EXPECT_LT(worstPin, 0.025); // the pin's arc against the blended chord
}

TEST_F(PumpJackAnimation, OneRevolutionEveryThirtyTwoTimeUnits)
{
    for (double t : {0.0, 3.0, 13.5, 29.0}) {
        for (int revolutions : {1, 5, 100}) {
            const double later = t + kPumpJackTimePerRevolution * revolutions;
            EXPECT_NEAR(beamDegrees(t), beamDegrees(later), 1e-3) << t;
            const glm::vec3 pin(geometry.crankRadius, 0, 0);
            EXPECT_LT(glm::length(placed(JackCrank, pin, t) - placed(JackCrank, pin, later)), 1e-3f);
        }
    }
    // The crank turns steadily forward: a quarter turn every 8 units.
    for (double t = 0.0; t < 4000.0; t += 8.0) {
        const float a = parts[JackCrank].evaluate(t).rotation.z * Tarvo::kAniDegreesPerRadian;
        const float b = parts[JackCrank].evaluate(t + 8.0).rotation.z * Tarvo::kAniDegreesPerRadian;
        ASSERT_NEAR(b - a, 90.0f, 0.05f) << t;
    }
}

TEST_F(PumpJackAnimation, TheBeamNodsBothWaysAndTheRodFollowsTheHead)
{
    float lowest = 0.0f, highest = 0.0f;
    for (double t = 0.0; t < 32.0; t += 0.5) {
        lowest = std::min(lowest, beamDegrees(t));
        highest = std::max(highest, beamDegrees(t));
        // The carrier bar stays on the rod line and rises with the head.
        const glm::vec3 carrier = placed(JackBridle, glm::vec3(0.0f), t);
        EXPECT_NEAR(carrier.x, geometry.rodLineX(), 1e-4f);
        EXPECT_NEAR(carrier.z, 0.0f, 1e-6f);
        const float expected = geometry.carrierHeight
                               + geometry.headRadius * beamDegrees(t) * std::numbers::pi_v<float> / 180.0f;
        EXPECT_NEAR(carrier.y, expected, 0.02f);
    }
    EXPECT_LT(lowest, -12.0f);
    EXPECT_GT(highest, 12.0f);
    EXPECT_LT(highest - lowest, 45.0f);
}

TEST_F(PumpJackAnimation, StandsOnItsBaseAtTheExpectedSize)
{
    const std::vector<Tarvo::ObjMesh> meshes = buildPumpJackParts(geometry);
    const modeltest::Bounds base = modeltest::bounds(meshes[JackBase]);
    EXPECT_FLOAT_EQ(base.min.y, 0.0f);
    // Everything drawn stays above the ground at every frame, except the polished rod
    // running down into the well; the jack is 6 to 8 m tall at its highest nod.
    float top = 0.0f;
    for (double t = 0.0; t < 32.0; t += 1.0) {
        for (int p = 0; p < static_cast<int>(meshes.size()); ++p) {
            std::vector<glm::vec3> points;
            for (const glm::vec3& v : meshes[p].positions)
                points.push_back(placed(PumpJackPart(p), v, t));
            const modeltest::Bounds b = modeltest::bounds(points);
            if (p != JackBridle) {
                EXPECT_GE(b.min.y, -1e-4f) << kPumpJackParts[p] << " at " << t;
            }
            top = std::max(top, b.max.y);
            EXPECT_LT(std::fabs(b.max.z), 1.8f);
        }
    }
    EXPECT_GT(top, 6.0f);
    EXPECT_LT(top, 8.0f);
}

TEST_F(PumpJackAnimation, CableEndsStayInsideTheHorseHead)
{
    // The cables rise from the carrier to a fixed length; their upper ends must stay
    // inside the head's ring sector (radius head - 0.5 to head, +-38 degrees about
    // the beam) or they would show above or beside it.
    for (double t = 0.0; t < 32.0; t += 0.5) {
        const glm::vec3 end = placed(JackBridle, {0.0f, geometry.cableLength(), 0.0f}, t);
        const glm::vec2 fromPivot = glm::vec2(end) - geometry.pivot;
        const float radius = glm::length(fromPivot);
        const float angle =
            std::atan2(fromPivot.y, fromPivot.x) * 180.0f / std::numbers::pi_v<float> - beamDegrees(t);
        EXPECT_GT(radius, geometry.headRadius - 0.5f) << t;
        EXPECT_LT(radius, geometry.headRadius) << t;
        EXPECT_LT(std::fabs(angle), 38.0f) << t;
    }
}

TEST(ModelPumpJackParts, EveryPartIsBuiltFacingOutwardsWithinBudget)
{
    const std::vector<Tarvo::ObjMesh> meshes = buildPumpJackParts(PumpJackGeometry{});
    ASSERT_EQ(meshes.size(), std::size(kPumpJackParts));
    std::size_t triangles = 0;
    for (std::size_t p = 0; p < meshes.size(); ++p) {
        EXPECT_GT(meshes[p].triangleCount(), 50u) << kPumpJackParts[p];
        EXPECT_EQ(modeltest::windingAgainstNormals(meshes[p]), 0u) << kPumpJackParts[p];
        EXPECT_GT(modeltest::signedVolume(meshes[p]), 0.0) << kPumpJackParts[p];
        triangles += meshes[p].triangleCount();
    }
    EXPECT_LE(triangles, 20000u);
}
