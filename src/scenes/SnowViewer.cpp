// The viewer supplies what the particle container leaves to its owner: the world-to-clip
// transform, the camera's axes, the blending and the depth state.
#include "scenes/SnowViewer.h"

#include <cmath>

#include "engine/Transform.h"
#include "runtime/Demo.h"

namespace OrvelDemo {

namespace {

constexpr float fieldOfView = 60.0f;
constexpr float nearPlane = 1.0f;
constexpr float farPlane = 3000.0f;
constexpr float cameraHeight = 100.0f;
constexpr float lookAhead = 400.0f;   // the camera looks at the slab this far ahead
constexpr float startZ = -400.0f;
constexpr double swayZ = 150.0;       // units of travel along the slab
constexpr double swayX = 60.0;
constexpr double swayRateZ = 0.1;     // radians per second
constexpr double swayRateX = 0.07;
const glm::vec4 background(0.06f, 0.09f, 0.18f, 1.0f);

} // namespace

SnowViewer::SnowViewer()
    : Tarvo::PostScene("./data/shaders/trivial.fs", 1)
{
}

glm::mat4 SnowViewer::view(double time)
{
    const glm::vec3 eye(static_cast<float>(swayX * std::sin(swayRateX * time)), cameraHeight,
                        startZ + static_cast<float>(swayZ * std::sin(swayRateZ * time)));
    return Tarvo::lookAt(eye, eye + glm::vec3(0.0f, -cameraHeight, lookAhead), glm::vec3(0, 1, 0));
}

glm::mat4 SnowViewer::projection() const
{
    const float w = gDemo ? static_cast<float>(gDemo->getWidth()) : 1.0f;
    const float h = gDemo ? static_cast<float>(gDemo->getHeight()) : 1.0f;
    return Tarvo::perspective(fieldOfView, h > 0.0f ? w / h : 1.0f, nearPlane, farPlane);
}

void SnowViewer::advance(const double& time)
{
    snow.step(time * particleTimeScale, view(time));
}

void SnowViewer::drawScene(const double& time)
{
    // The scene target arrives cleared to transparent black; the background is drawn by
    // clearing again, and the fixed clear colour is put back for everyone else.
    GLfloat previousClear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, previousClear);
    glClearColor(background.r, background.g, background.b, background.a);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(previousClear[0], previousClear[1], previousClear[2], previousClear[3]);

    // Flakes are drawn farthest first and blended; none may hide another through depth.
    const GLboolean blendWasOn = glIsEnabled(GL_BLEND);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);

    const glm::mat4 v = view(time);
    const glm::vec3 right(v[0][0], v[1][0], v[2][0]);
    const glm::vec3 up(v[0][1], v[1][1], v[2][1]);
    snow.setUniforms(projection() * v, right * flakeScale, up * flakeScale);
    snow.draw(time * particleTimeScale, v);

    glDepthMask(GL_TRUE);
    if (!blendWasOn)
        glDisable(GL_BLEND);
}

} // namespace OrvelDemo
