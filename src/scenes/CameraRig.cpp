#include "scenes/CameraRig.h"

#include <glm/gtc/noise.hpp>

#include "engine/Transform.h"

namespace OrvelDemo {

namespace {

// Noise paths run at 150/360 of their parameter so one unit of time spans a few noise
// cells: a handheld sway, not a jitter.
glm::vec2 samplePoint(double x, double y)
{
    glm::vec2 v(static_cast<float>(x), static_cast<float>(y));
    return v * 150.0f / 360.0f;
}

} // namespace

float shakeNoise(const glm::vec2& v)
{
    return glm::simplex(v);
}

ShakeTerms computeShake(double t, const ShakeAmplitudes& amplitudes)
{
    ShakeTerms terms;
    terms.yaw = amplitudes.yaw *
                shakeNoise(samplePoint(t, static_cast<double>(1.3f) * t + 0.321));
    terms.pitch = amplitudes.pitch *
                  shakeNoise(samplePoint(1.11 * t, static_cast<double>(1.33f) * t + 0.897423));
    terms.roll = amplitudes.roll *
                 shakeNoise(samplePoint(1.29 * t, static_cast<double>(1.37f) * t + 0.897423));
    return terms;
}

CameraFrame computeCamera(const glm::vec3& eye, const CameraAngles& tracks, const ShakeTerms& shake)
{
    const float yaw = static_cast<float>(tracks.yaw + static_cast<double>(shake.yaw));
    const float pitch = static_cast<float>(tracks.pitch + static_cast<double>(shake.pitch));
    const float roll = static_cast<float>(tracks.roll + static_cast<double>(shake.roll));
    const glm::mat4 identity(1.0f);

    CameraFrame frame;
    frame.rotation = Tarvo::rotate(identity, roll, glm::vec3(1, 0, 0)) *
                     Tarvo::rotate(identity, pitch, glm::vec3(0, 1, 0)) *
                     Tarvo::rotate(identity, yaw, glm::vec3(0, 0, 1));
    frame.dir = glm::vec3(frame.rotation * glm::vec4(1, 0, 0, 1));
    frame.up = glm::vec3(Tarvo::rotate(identity, static_cast<float>(tracks.roll), glm::vec3(1, 0, 0)) *
                         glm::vec4(0, 1, 0, 1));
    frame.cameraView = Tarvo::lookAt(eye, eye + frame.dir, frame.up);
    frame.skyView = Tarvo::lookAt(glm::vec3(0.0f), frame.dir, frame.up);
    return frame;
}

} // namespace OrvelDemo
