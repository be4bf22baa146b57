// An alternative scene that shows screen-space reflections: a terrain with a flat floor
// and the frame standing on it, both swinging slowly, drawn into four scene textures
// (colour, normal, position, reflectivity) and composited by "./data/shaders/ssr/ssr.fs",
// which traces the reflections with the scene's projection.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "engine/Fbo.h"
#include "engine/ImageFx.h"
#include "engine/PostScene.h"
#include "mesh/StdModel.h"
#include "scenes/SceneSetup.h"

namespace OrvelDemo {

// Shared by the scene's models and its compositing pass: 45 degrees, aspect 4/3, near
// 0.1, far 100.
extern const glm::mat4 ssrProjection;

class SsrScene : public Tarvo::PostScene {
public:
    SsrScene();
    ~SsrScene();

    void drawScene(const double& time) override;
    void composite(const double& time) override;
    // Hands the projection to the compositing program as "projection".
    void setUniforms(const double& time) override;

    // The program both models draw with ("./data/shaders/ssr/ssrobj.vs", ".../ssrobj.fs").
    static GLuint getObjectProgram();
    // The camera's view, looking at the origin from (4, 3, 3).
    static glm::mat4 initialView() { return showcaseView(); }
    // The models' swing at a time in seconds: a turn of 0.05 x time degrees about y after
    // a tilt of 45 x sin(0.001 x time) degrees about x.
    static glm::mat4 swing(double time);

    const Tarvo::StdModel& getTerrain() const { return terrain; }
    const Tarvo::StdModel& getRunko() const { return runko; }
    GLuint getBrassTexture() const { return brassTexture; }

private:
    Tarvo::StdModel terrain;
    Tarvo::StdModel runko;
    Tarvo::Fbo extraTarget1;   // built, not used
    Tarvo::Fbo extraTarget2;   // built, not used
    Tarvo::ImageFx multiplier; // built, not run
    Tarvo::ImageFx sobel;      // built, not run
    GLuint brassTexture;       // loaded, not used
};

} // namespace OrvelDemo
