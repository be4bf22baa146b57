// The main scene's camera: a position and three rotation angles from tracks, each angle
// shaken by smooth simplex noise that follows the frame clock. Pure arithmetic, so the
// shake and the camera can be checked without a GL context.
#pragma once

#include <glm/glm.hpp>

namespace OrvelDemo {

// The maths library's 2D simplex noise, about [-1, 1]; zero at the origin.
float shakeNoise(const glm::vec2& v);

// Degrees about the camera's three axes: what a shake may reach on each, and the
// offsets it gives at one moment.
struct ShakeAngles {
    float yaw = 0.0f;
    float pitch = 0.0f;
    float roll = 0.0f;
};
using ShakeAmplitudes = ShakeAngles;
using ShakeTerms = ShakeAngles;

// Offsets in degrees at clock time t; each is bounded by about its amplitude.
ShakeTerms computeShake(double time, const ShakeAmplitudes& amplitudes);

struct CameraAngles {
    double yaw = 0.0;   // about z
    double pitch = 0.0; // about y
    double roll = 0.0;  // about x; also tilts the up vector
};

struct CameraFrame {
    glm::mat4 rotation{1.0f};
    glm::vec3 dir{1.0f, 0.0f, 0.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::mat4 cameraView{1.0f};
    glm::mat4 skyView{1.0f};
};

// The camera looks along +x when every angle is zero. The up vector turns with the roll
// track alone, so shake never rolls the horizon's reference.
CameraFrame computeCamera(const glm::vec3& eye, const CameraAngles& tracks, const ShakeTerms& shake);

} // namespace OrvelDemo
