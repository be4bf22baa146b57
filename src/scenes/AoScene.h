// An alternative scene that shows screen-space ambient occlusion: a frame and a nose cone
// turning slowly about the vertical axis, drawn into two scene textures (colour, and
// view-space normal with depth) and composited by "./data/ssao.fs".
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "engine/Fbo.h"
#include "engine/ImageFx.h"
#include "engine/PostScene.h"
#include "mesh/StdModel.h"
#include "scenes/SceneSetup.h"

namespace OrvelDemo {

// Shared by the scene's models: 45 degrees, aspect 4/3, near 0.1, far 100.
extern const glm::mat4 aoProjection;

class AoScene : public Tarvo::PostScene {
public:
    AoScene();
    ~AoScene();

    void drawScene(const double& time) override;
    void composite(const double& time) override;

    // The program both models draw with ("./data/ssaobj.vs", "./data/ssaobj.fs").
    static GLuint getObjectProgram();
    // The camera's view, looking at the origin from (4, 3, 3).
    static glm::mat4 initialView() { return showcaseView(); }

    const Tarvo::StdModel& getNokka() const { return nokka; }
    const Tarvo::StdModel& getRunko() const { return runko; }
    const Tarvo::Fbo& getExtraTarget() const { return extraTarget; }
    const Tarvo::ImageFx& getMultiplier() const { return multiplier; }

private:
    Tarvo::StdModel nokka;
    Tarvo::StdModel runko;
    Tarvo::Fbo extraTarget;     // built, not drawn into
    Tarvo::ImageFx multiplier;  // built, not run
};

} // namespace OrvelDemo
