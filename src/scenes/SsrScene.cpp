// The reflection scene: one object program for both models, and the projection shared
// with the compositing pass so that it can project its rays back onto the screen.
#include "scenes/SsrScene.h"

#include <cmath>

#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "engine/Transform.h"
#include "runtime/Demo.h"
#include "scenes/SceneSetup.h"

namespace OrvelDemo {

namespace {

constexpr double turnRate = 0.05;     // degrees per second about y
constexpr double tiltAmplitude = 45.0; // degrees about x
constexpr double tiltRate = 0.001;    // radians of the tilt's sine per second

GLuint objectProgram = 0;

} // namespace

const glm::mat4 ssrProjection = showcaseProjection();

SsrScene::SsrScene()
    : Tarvo::PostScene("./data/shaders/ssr/ssr.fs", 4),
      terrain("./data/models/terrain.obj", Tarvo::MeshFormatObj, "./data/space.png"),
      runko("./data/models/runko.obj", Tarvo::MeshFormatObj, "./data/tavlo.png"),
      extraTarget1(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      extraTarget2(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      multiplier("./data/shaders/multiplier.fs"),
      sobel("./data/shaders/sobel.fs"),
      brassTexture(loadTexture("./data/img/brass2.png", false))
{
    objectProgram = loadShaderProgram("./data/shaders/ssr/ssrobj.vs", "./data/shaders/ssr/ssrobj.fs");
    placeModels({&terrain, &runko}, &ssrProjection, initialView(), objectProgram);
}

SsrScene::~SsrScene()
{
    glDeleteTextures(1, &brassTexture);
    deleteShaderProgram(objectProgram);
    objectProgram = 0;
}

GLuint SsrScene::getObjectProgram()
{
    return objectProgram;
}

glm::mat4 SsrScene::swing(double time)
{
    const auto a = static_cast<float>(turnRate * time);
    const auto b = static_cast<float>(tiltAmplitude * std::sin(tiltRate * time));
    const glm::mat4 origin = Tarvo::translate(glm::mat4(1.0f), glm::vec3(0.0f));
    return Tarvo::rotate(origin, a, glm::vec3(0, 1, 0)) * Tarvo::rotate(origin, b, glm::vec3(1, 0, 0));
}

void SsrScene::drawScene(const double& time)
{
    runko.setShader(objectProgram);
    const glm::mat4 m = swing(time);
    terrain.setModelMatrix(m);
    terrain.draw(time);
    runko.setModelMatrix(m);
    runko.draw(time);
}

void SsrScene::composite(const double& time)
{
    PostScene::composite(time);
}

void SsrScene::setUniforms(const double& time)
{
    (void)time;
    // This also runs at the start of each frame, when whichever program the previous
    // pass left is current. The location belongs to the compositing program only: given
    // to another program it would fail or overwrite an unrelated uniform, and the default
    // compositing pass sets the value where it is read anyway.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    if (getProgram() == 0 || static_cast<GLuint>(current) != getProgram())
        return;
    glUniformMatrix4fv(Tarvo::uniformLocation(getProgram(), "projection"), 1, GL_FALSE, &ssrProjection[0][0]);
}

} // namespace OrvelDemo
