// The main scene's camera and shake arithmetic.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "scenes/CameraRig.h"

namespace {

using namespace OrvelDemo;

void expectNear(const glm::vec3& a, const glm::vec3& b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

void expectNear(const glm::mat4& a, const glm::mat4& b, float tolerance = 1e-5f)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], tolerance) << "column " << c << " row " << r;
}

TEST(CameraRig, AllZeroLooksAlongXWithYUp)
{
    const CameraFrame frame = computeCamera(glm::vec3(0.0f), CameraAngles{}, ShakeTerms{});
    expectNear(frame.dir, glm::vec3(1, 0, 0));
    expectNear(frame.up, glm::vec3(0, 1, 0));
    expectNear(frame.cameraView, glm::lookAt(glm::vec3(0), glm::vec3(1, 0, 0), glm::vec3(0, 1, 0)));
    expectNear(frame.skyView, frame.cameraView);
}

TEST(CameraRig, YawTurnsAboutZAndPitchAboutY)
{
    CameraAngles yaw;
    yaw.yaw = 90.0;
    expectNear(computeCamera(glm::vec3(0.0f), yaw, ShakeTerms{}).dir, glm::vec3(0, 1, 0));
    CameraAngles pitch;
    pitch.pitch = 90.0;
    expectNear(computeCamera(glm::vec3(0.0f), pitch, ShakeTerms{}).dir, glm::vec3(0, 0, -1));
}

TEST(CameraRig, RollTiltsUpButYawAndPitchDoNot)
{
    CameraAngles turned;
    turned.yaw = 30.0;
    turned.pitch = -20.0;
    expectNear(computeCamera(glm::vec3(0.0f), turned, ShakeTerms{}).up, glm::vec3(0, 1, 0));

    CameraAngles rolled;
    rolled.roll = 90.0;
    expectNear(computeCamera(glm::vec3(0.0f), rolled, ShakeTerms{}).up, glm::vec3(0, 0, 1));
}

TEST(CameraRig, ShakeTurnsTheViewButNotTheUpVector)
{
    ShakeTerms shake;
    shake.roll = 10.0f;
    shake.yaw = 5.0f;
    const CameraFrame frame = computeCamera(glm::vec3(0.0f), CameraAngles{}, shake);
    expectNear(frame.up, glm::vec3(0, 1, 0));
    EXPECT_GT(frame.dir.y, 0.05f);
}

TEST(CameraRig, EyeMovesTheCameraButNotTheSky)
{
    CameraAngles angles;
    angles.yaw = 12.0;
    const CameraFrame home = computeCamera(glm::vec3(0.0f), angles, ShakeTerms{});
    const CameraFrame away = computeCamera(glm::vec3(10, -3, 40), angles, ShakeTerms{});
    expectNear(home.skyView, away.skyView);
    const glm::vec4 eyeInView = away.cameraView * glm::vec4(10, -3, 40, 1);
    expectNear(glm::vec3(eyeInView), glm::vec3(0.0f), 1e-4f);
}

TEST(CameraShake, ZeroAmplitudesGiveNoShake)
{
    for (double t : {0.0, 0.37, 12.5, 180.0}) {
        const ShakeTerms terms = computeShake(t, ShakeAmplitudes{});
        EXPECT_EQ(terms.yaw, 0.0f);
        EXPECT_EQ(terms.pitch, 0.0f);
        EXPECT_EQ(terms.roll, 0.0f);
    }
}

TEST(CameraShake, PathsStartOnTheYAxisOfTheNoiseDomain)
{
    // At t = 0 every path sits at x = 0: yaw at y = 0.321, pitch and roll together at
    // y = 0.897423 (both scaled by 150/360), so pitch and roll start equal.
    ShakeAmplitudes amplitudes;
    amplitudes.yaw = amplitudes.pitch = amplitudes.roll = 10.0f;
    const ShakeTerms terms = computeShake(0.0, amplitudes);
    const auto start = [](double y) { return glm::vec2(0.0f, static_cast<float>(y)) * 150.0f / 360.0f; };
    EXPECT_FLOAT_EQ(terms.yaw, 10.0f * shakeNoise(start(0.321)));
    EXPECT_FLOAT_EQ(terms.pitch, 10.0f * shakeNoise(start(0.897423)));
    EXPECT_FLOAT_EQ(terms.roll, terms.pitch);
    EXPECT_NE(terms.pitch, 0.0f);
    EXPECT_EQ(shakeNoise(glm::vec2(0.0f)), 0.0f);
}

TEST(CameraShake, FollowsTheDocumentedSamplePaths)
{
    ShakeAmplitudes amplitudes;
    amplitudes.yaw = 2.0f;
    amplitudes.pitch = 3.0f;
    amplitudes.roll = 4.0f;
    const double t = 7.25;
    const ShakeTerms terms = computeShake(t, amplitudes);
    const auto point = [](double x, double y) {
        return glm::vec2(static_cast<float>(x), static_cast<float>(y)) * 150.0f / 360.0f;
    };
    EXPECT_EQ(terms.yaw, 2.0f * shakeNoise(point(t, static_cast<double>(1.3f) * t + 0.321)));
    EXPECT_EQ(terms.pitch, 3.0f * shakeNoise(point(1.11 * t, static_cast<double>(1.33f) * t + 0.897423)));
    EXPECT_EQ(terms.roll, 4.0f * shakeNoise(point(1.29 * t, static_cast<double>(1.37f) * t + 0.897423)));
}

TEST(CameraShake, IsSmoothDeterministicAndBoundedByItsAmplitude)
{
    ShakeAmplitudes amplitudes;
    amplitudes.yaw = amplitudes.pitch = amplitudes.roll = 5.0f;
    float previous = computeShake(0.0, amplitudes).pitch;
    for (int i = 1; i <= 6000; ++i) {
        const double t = i / 60.0;
        const ShakeTerms terms = computeShake(t, amplitudes);
        EXPECT_LE(std::abs(terms.yaw), 5.0f * 1.01f);
        EXPECT_LE(std::abs(terms.pitch), 5.0f * 1.01f);
        // One frame apart, the shake moves a fraction of its range: a sway, not jitter.
        EXPECT_LT(std::abs(terms.pitch - previous), 0.5f);
        previous = terms.pitch;
    }
    EXPECT_EQ(computeShake(3.5, amplitudes).roll, computeShake(3.5, amplitudes).roll);
}

} // namespace
