// Key evaluation and part matrices of rigid animations: the cycle of A / B intervals
// and its wrap, the blend, times outside the cycle, and the exporter-to-engine matrix.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

#include "mesh/AniPart.h"

namespace {

// A = 100, B = 10: K = 11 keys, key i at position (i, 10 i, 100 i), rotation (i, 0, -i).
Tarvo::AniPart cyclePart()
{
    Tarvo::AniPart part;
    part.length = 100;
    part.spacing = 10;
    for (int i = 0; i <= 10; ++i)
        part.keys.push_back({glm::vec3(i, 10 * i, 100 * i), glm::vec3(i, 0, -i)});
    return part;
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-4f * (1.0f + std::fabs(expected[i])))
            << "component " << i;
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f) << "column " << c << " row " << r;
}

} // namespace

TEST(AniPartTest, BlendsTheKeysAroundTheTime)
{
    const Tarvo::AniPart part = cyclePart();
    EXPECT_EQ(part.cycleKeys(), 10);
    expectNear(part.evaluate(25.0).position, glm::vec3(2.5f, 25, 250));
    expectNear(part.evaluate(25.0).rotation, glm::vec3(2.5f, 0, -2.5f));
    expectNear(part.evaluate(31.0).position, glm::vec3(3.1f, 31, 310));
}

TEST(AniPartTest, TheCycleWrapsBeforeTheLastKey)
{
    const Tarvo::AniPart part = cyclePart();
    // t = 95 blends key 9 and key 0 half and half; key 10 is never used.
    expectNear(part.evaluate(95.0).position, glm::vec3(4.5f, 45, 450));
    EXPECT_EQ(part.evaluate(100.0).position, glm::vec3(0)) << "t = A gives key 0";
    expectNear(part.evaluate(125.0).position, glm::vec3(2.5f, 25, 250));
    for (double t = 0; t < 300; t += 0.5) {
        const Tarvo::AniKey key = part.evaluate(t);
        EXPECT_LE(key.position.x, 9.0f) << "t = " << t;
    }
}

TEST(AniPartTest, TimeZeroGivesKeyZeroExactly)
{
    Tarvo::AniPart part = cyclePart();
    part.keys[0] = {glm::vec3(0.1f, 0.2f, 0.3f), glm::vec3(0.4f, 0.5f, 0.6f)};
    const Tarvo::AniKey key = part.evaluate(0.0);
    EXPECT_EQ(key.position, glm::vec3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(key.rotation, glm::vec3(0.4f, 0.5f, 0.6f));
}

TEST(AniPartTest, TimesBeforeZeroRunTheCycleBackwards)
{
    const Tarvo::AniPart part = cyclePart();
    // -5 is half-way between key 9 (at -10) and key 0.
    expectNear(part.evaluate(-5.0).position, glm::vec3(4.5f, 45, 450));
    expectNear(part.evaluate(-75.0).position, glm::vec3(2.5f, 25, 250));
}

TEST(AniPartTest, PartsThatCannotAnimateAndOddTimesGiveKeyZero)
{
    Tarvo::AniPart part = cyclePart();
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double t : odd)
        EXPECT_EQ(part.evaluate(t).position, glm::vec3(0));
    (void)part.evaluate(1e300);
    (void)part.evaluate(-1e300);

    const std::pair<int, int> bad[] = {{100, 0}, {5, 10}, {-100, 10}, {100, -10}};
    for (const auto& [a, b] : bad) {
        part.length = a;
        part.spacing = b;
        EXPECT_EQ(part.cycleKeys(), 0) << a << " " << b;
        EXPECT_EQ(part.evaluate(37.0).position, glm::vec3(0)) << "key 0, no division by zero";
    }
}

TEST(AniPartTest, KeysTheFileDidNotSupplyAreZero)
{
    Tarvo::AniPart part;
    part.length = 100;
    part.spacing = 10;
    part.keys.push_back({glm::vec3(2), glm::vec3(0)});
    expectNear(part.evaluate(5.0).position, glm::vec3(1));
    EXPECT_EQ(part.evaluate(55.0).position, glm::vec3(0));
}

TEST(AniPartTest, PostMatrixTurnsExporterAxesIntoEngineAxes)
{
    Tarvo::AniKey key;
    key.position = glm::vec3(1, 2, 3);
    expectMatrixNear(Tarvo::partPostMatrix(key),
                     glm::translate(glm::mat4(1.0f), glm::vec3(-1, 3, -2)));
    // A vertex at the origin lands at (-x, z, -y).
    const glm::vec4 moved = Tarvo::partPostMatrix(key) * glm::vec4(0, 0, 0, 1);
    EXPECT_EQ(glm::vec3(moved), glm::vec3(-1, 3, -2));
}

TEST(AniPartTest, RotationsUseTheShowsDegreeConstantInXYZOrder)
{
    Tarvo::AniKey key;
    key.rotation = glm::vec3(0.3f, -1.2f, 2.0f);
    const float k = 57.30659f;
    const float toRadians = std::numbers::pi_v<float> / 180.0f;
    const glm::mat4 identity(1.0f);
    const glm::mat4 expected =
        glm::rotate(identity, 0.3f * k * toRadians, glm::vec3(1, 0, 0))
        * glm::rotate(identity, -1.2f * k * toRadians, glm::vec3(0, 1, 0))
        * glm::rotate(identity, 2.0f * k * toRadians, glm::vec3(0, 0, 1));
    expectMatrixNear(Tarvo::partPostMatrix(key), expected);

    // 180 / 3.141 rather than 180 / pi: pi radians turn a little past 180 degrees.
    key.rotation = glm::vec3(0, 0, std::numbers::pi_v<float>);
    const glm::vec4 x = Tarvo::partPostMatrix(key) * glm::vec4(1, 0, 0, 0);
    EXPECT_NEAR(x.x, -1.0f, 1e-5f);
    const float theta = std::numbers::pi_v<float> * k * toRadians;
    EXPECT_NEAR(x.y, std::sin(theta), 1e-5f);
    EXPECT_LT(x.y, -5e-4f) << "a turn of pi radians overshoots by about 0.034 degrees";
}
