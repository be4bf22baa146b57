// The truck: its size and placement on the road, wheels that touch the road and roll
// without slipping for the distance the animation's time stands for, and the static
// copy matching the animated parts at time 0.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

#include "ModelTestUtil.h"
#include "mesh/AniPart.h"
#include "mesh/NwaFile.h"
#include "models/Truck.h"

using namespace assetgen::models;

namespace {

class TruckAnimation : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(modeltest::readBackAnimation(truckAnimation(), nwa, parts));
    }

    // A wheel's turn in degrees at time t, as the model draws it.
    float wheelDegrees(std::size_t axle, double t) const
    {
        return parts[2 + axle].evaluate(t).rotation.x * Tarvo::kAniDegreesPerRadian;
    }

    Tarvo::NwaFile nwa;
    std::vector<Tarvo::AniPart> parts;
};

} // namespace

TEST_F(TruckAnimation, NamesTheBodyAndOnePartPerAxle)
{
    ASSERT_EQ(nwa.partNames.size(), 2 + std::size(kTruckAxles));
    EXPECT_EQ(nwa.partNames[0], "tractor.obj");
    EXPECT_EQ(nwa.partNames[1], "trailer.obj");
    for (std::size_t i = 0; i < std::size(kTruckAxles); ++i)
        EXPECT_EQ(nwa.partNames[2 + i], kTruckAxles[i].part);
    EXPECT_EQ(nwa.length, kTruckCycleLength);
    EXPECT_EQ(nwa.spacing, kTruckKeySpacing);
    EXPECT_EQ(nwa.keys.size(), std::size_t(nwa.keysPerPart()) * nwa.partNames.size());
}

TEST_F(TruckAnimation, WheelsRollWithoutSlippingOverACrossing)
{
    // Over the distances a crossing uses, including between keys and across zero, a
    // wheel turns by distance / radius, all wheels alike.
    for (double t = -500.0; t < 500.0; t += 0.37) {
        const double turn = (wheelDegrees(0, t + 0.37) - wheelDegrees(0, t)) * std::numbers::pi / 180.0;
        ASSERT_NEAR(turn * kTruckWheelRadius, 0.37, 2e-3) << t;
        for (std::size_t a = 1; a < std::size(kTruckAxles); ++a)
            ASSERT_NEAR(wheelDegrees(a, t), wheelDegrees(0, t), 1e-3) << a;
    }
    EXPECT_NEAR(wheelDegrees(0, 0.0), 0.0, 1e-6);
    // Forward is +z: a positive turn about +x carries the top of the wheel forwards.
    const glm::mat4 post = Tarvo::partPostMatrix(parts[2].evaluate(0.5));
    const glm::vec3 top(post * glm::vec4(0.0f, kTruckWheelRadius, 0.0f, 1.0f));
    const glm::vec3 centre(post * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_GT(top.z, centre.z);
}

TEST_F(TruckAnimation, AxlesSitAtTheirPlacesAndTheBodyStandsStill)
{
    for (double t : {-300.0, -1.0, 0.0, 77.7, 400.0}) {
        for (std::size_t a = 0; a < std::size(kTruckAxles); ++a) {
            const glm::mat4 post = Tarvo::partPostMatrix(parts[2 + a].evaluate(t));
            const glm::vec3 centre(post * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
            EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
            EXPECT_NEAR(centre.y, kTruckWheelRadius, 1e-5f);
            EXPECT_NEAR(centre.z, kTruckAxles[a].z, 1e-5f);
        }
        for (int body : {0, 1}) {
            const glm::mat4 post = Tarvo::partPostMatrix(parts[body].evaluate(t));
            EXPECT_EQ(post, glm::mat4(1.0f));
        }
    }
}

TEST(ModelTruck, WheelsTouchTheRoadAndTheBodyClearsThem)
{
    for (const Tarvo::ObjMesh& axle : {buildFrontAxle(), buildDualAxle()}) {
        const modeltest::Bounds b = modeltest::bounds(axle);
        EXPECT_NEAR(b.min.y, -kTruckWheelRadius, 2e-3f); // on the road once lifted by r
        EXPECT_LT(b.max.x, 1.28f);
        EXPECT_EQ(modeltest::windingAgainstNormals(axle), 0u);
    }
    // No body part hangs into a wheel's turning circle.
    for (const Tarvo::ObjMesh& body : {buildTractor(), buildTrailer()}) {
        EXPECT_EQ(modeltest::windingAgainstNormals(body), 0u);
        for (const modeltest::Corner& c : modeltest::corners(body)) {
            if (std::fabs(c.position.x) < 0.55f || std::fabs(c.position.x) > 1.25f)
                continue; // between the wheels, or beside them
            for (const TruckAxle& axle : kTruckAxles) {
                const float d = glm::length(glm::vec2(c.position.y - kTruckWheelRadius,
                                                      c.position.z - axle.z));
                ASSERT_GT(d, kTruckWheelRadius + 0.02f) << c.position.x << " " << c.position.y
                                                        << " " << c.position.z;
            }
        }
    }
}

TEST(ModelTruck, StaticTruckIsTheRigAtRest)
{
    const Tarvo::ObjMesh whole = buildStaticTruck();
    std::size_t parts = buildTractor().triangleCount() + buildTrailer().triangleCount()
                        + buildFrontAxle().triangleCount()
                        + (std::size(kTruckAxles) - 1) * buildDualAxle().triangleCount();
    EXPECT_EQ(whole.triangleCount(), parts);
    EXPECT_LE(whole.triangleCount(), 30000u);
    const modeltest::Bounds b = modeltest::bounds(whole);
    EXPECT_NEAR(b.min.y, 0.0f, 2e-3f);           // on the road
    EXPECT_NEAR(b.size().z, 16.7f, 0.2f); // a tractor-trailer's length
    EXPECT_LT(b.size().x, 3.2f);                 // mirrors included
    EXPECT_NEAR(b.size().y, 4.45f, 0.1f);
    EXPECT_NEAR(0.5f * (b.min.z + b.max.z), 0.0f, 0.2f); // centred on its origin
    EXPECT_GT(b.max.z, 8.0f);                    // the cab leads, towards +z
}
