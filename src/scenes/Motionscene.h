// An alternative scene that shows per-object motion blur: a tumbling cube and a turning
// terrain seen from a moving camera, drawn by motion-blur models into two scene textures
// (colour and screen-space velocity), blurred along the velocity by "./data/motionblur.fs",
// given a glow at half resolution and a final transform pass. Every amount comes from a
// sync track.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "engine/Fbo.h"
#include "engine/GlowFx.h"
#include "engine/ImageFx.h"
#include "engine/PostScene.h"
#include "mesh/MotionblurObu.h"
#include "sync/Sync.h"

namespace OrvelDemo {

// Shared by the scene's models: 45 degrees, aspect 4/3, near 0.1, far 100.
extern const glm::mat4 motionProjection;

class Motionscene : public Tarvo::PostScene {
public:
    Motionscene();
    ~Motionscene();

    void drawScene(const double& time) override;
    void composite(const double& time) override;

    // The program the models draw with ("./data/motionblurobj.vs", "./data/motionblurobj.fs").
    static GLuint getObjectProgram();
    // The cube's camera, looking at the origin from (4, 3, 3).
    static glm::mat4 cubeView();
    // The terrain's camera at height 0.1 x s, looking along +z from z = -5.
    static glm::mat4 terrainView(float s);

    const Tarvo::MotionblurObu& getCube() const { return cube; }
    const Tarvo::MotionblurObu& getTerrain() const { return terrain; }
    const Tarvo::MotionblurObu& getSkybox() const { return skybox; }
    const Tarvo::Fbo& getFullCopy() const { return fullCopy; }
    const Tarvo::Fbo& getHalfCopy() const { return halfCopy; }
    const Tarvo::Fbo& getGlowTarget() const { return glowTarget; }
    const Tarvo::GlowFx& getGlow() const { return glow; }
    const Tarvo::ImageFx& getAddTransform() const { return addTransform; }

private:
    float track(const TrackHandle& handle) const;

    Tarvo::Fbo extraScene;          // built, not used
    Tarvo::MotionblurObu cube;
    Tarvo::MotionblurObu terrain;
    Tarvo::MotionblurObu skybox;    // built, not drawn
    TrackHandle ulko;
    TrackHandle sisa;
    TrackHandle addconst;
    TrackHandle sigma;
    TrackHandle thetamax;
    TrackHandle scalemax;
    Tarvo::Fbo fullCopy;
    Tarvo::Fbo spareFull;           // built, not used
    Tarvo::Fbo glowTarget;
    Tarvo::Fbo halfCopy;
    Tarvo::Fbo glowSizer;           // sets the glow's blur targets to half size
    Tarvo::Fbo spareHalf;           // built, not used
    Tarvo::Fbo glowUnblurredInit;
    Tarvo::Fbo spareFull2;          // built, not used
    Tarvo::ImageFx blurVertical;    // built, not run
    Tarvo::ImageFx blurHorizontal;  // built, not run
    Tarvo::ImageFx glowTotal;       // built, not run
    Tarvo::GlowFx glow;
    Tarvo::ImageFx addTransform;
    Tarvo::ImageFx vignette;        // built, not run
    GLuint vignetteTexture;         // loaded, not used
};

} // namespace OrvelDemo
