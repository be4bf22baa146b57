// The occlusion scene: both models share one object program and the scene's projection;
// the compositing shader derives the occlusion from the second scene texture.
#include "scenes/AoScene.h"

#include "engine/ShaderProgram.h"
#include "engine/Transform.h"
#include "runtime/Demo.h"

namespace OrvelDemo {

namespace {

constexpr float fieldOfView = 45.0f;
constexpr float aspect = 4.0f / 3.0f;
constexpr float nearPlane = 0.1f;
constexpr float farPlane = 100.0f;
// Degrees per second of the models' turn.
constexpr double turnRate = 0.05;

GLuint objectProgram = 0;

} // namespace

const glm::mat4 aoProjection = Tarvo::perspective(fieldOfView, aspect, nearPlane, farPlane);

AoScene::AoScene()
    : Tarvo::PostScene("./data/ssao.fs", 2),
      nokka("./data/models/nokka.obj", Tarvo::MeshFormatObj, "./data/models/nokka_diffuse.png"),
      runko("./data/models/runko.obj", Tarvo::MeshFormatObj, "./data/models/nokka_diffuse.png"),
      extraTarget(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      multiplier("./data/multiplier.fs")
{
    objectProgram = loadShaderProgram("./data/ssaobj.vs", "./data/ssaobj.fs");
    const glm::mat4 view = initialView();
    for (Tarvo::StdModel* model : {&nokka, &runko}) {
        model->setProjection(&aoProjection);
        model->setView(view);
        model->setModelMatrix(glm::mat4(1.0f));
        model->setShader(objectProgram);
    }
}

AoScene::~AoScene()
{
    glDeleteProgram(objectProgram);
    objectProgram = 0;
}

GLuint AoScene::getObjectProgram()
{
    return objectProgram;
}

glm::mat4 AoScene::initialView()
{
    return Tarvo::lookAt(glm::vec3(4, 3, 3), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
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
