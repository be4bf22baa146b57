#include "scenes/SceneSetup.h"

#include "engine/Transform.h"
#include "runtime/Demo.h"

namespace OrvelDemo {

namespace {
constexpr float showcaseFieldOfView = 45.0f;
constexpr float showcaseAspect = 4.0f / 3.0f;
constexpr float showcaseNear = 0.1f;
constexpr float showcaseFar = 100.0f;
} // namespace

TrackHandle openTrack(const char* name)
{
    Sync* sync = gDemo ? gDemo->getSync() : nullptr;
    return sync ? sync->getTrack(name) : TrackHandle();
}

glm::mat4 showcaseProjection()
{
    return Tarvo::perspective(showcaseFieldOfView, showcaseAspect, showcaseNear, showcaseFar);
}

glm::mat4 showcaseView()
{
    return Tarvo::lookAt(glm::vec3(4, 3, 3), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
}

void placeModels(std::initializer_list<Tarvo::Model*> models, const glm::mat4* projection,
    const glm::mat4& view, GLuint program)
{
    for (Tarvo::Model* model : models) {
        model->setProjection(projection);
        model->setView(view);
        model->setModelMatrix(glm::mat4(1.0f));
        model->setShader(program);
    }
}

} // namespace OrvelDemo
