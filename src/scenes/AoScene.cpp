// The occlusion scene: both models share one object program and the scene's projection;
// the compositing shader derives the occlusion from the second scene texture.
#include "scenes/AoScene.h"

#include "engine/ShaderProgram.h"
#include "engine/Transform.h"
#include "runtime/Demo.h"
#include "scenes/SceneSetup.h"

namespace OrvelDemo {

namespace {

// Degrees per second of the models' turn.
constexpr double turnRate = 0.05;

GLuint objectProgram = 0;

} // namespace

const glm::mat4 aoProjection = showcaseProjection();

AoScene::AoScene()
    : Tarvo::PostScene("./data/ssao.fs", 2),
      nokka("./data/models/nokka.obj", Tarvo::MeshFormatObj, "./data/models/nokka_diffuse.png"),
      runko("./data/models/runko.obj", Tarvo::MeshFormatObj, "./data/models/nokka_diffuse.png"),
      extraTarget(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      multiplier("./data/multiplier.fs")
{
    objectProgram = loadShaderProgram("./data/ssaobj.vs", "./data/ssaobj.fs");
    placeModels({&nokka, &runko}, &aoProjection, initialView(), objectProgram);
}

AoScene::~AoScene()
{
    deleteShaderProgram(objectProgram);
    objectProgram = 0;
}

GLuint AoScene::getObjectProgram()
{
    return objectProgram;
}

void AoScene::drawScene(const double& time)
{
    const auto angle = static_cast<float>(turnRate * time);
    const glm::mat4 turn = Tarvo::rotate(glm::mat4(1.0f), angle, glm::vec3(0, 1, 0));
    nokka.setModelMatrix(turn);
    nokka.draw(time);
    runko.setModelMatrix(turn);
    runko.setShader(objectProgram);
    runko.draw(time);
}

void AoScene::composite(const double& time)
{
    PostScene::composite(time);
}

} // namespace OrvelDemo
