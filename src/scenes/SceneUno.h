// The show's main scene: a bridge over a valley, a truck and three pump jacks under a
// sky box, seen from a track-driven, shaking camera, and finished by a chain of image
// effects (occlusion, motion blur, edges and glow, vignette, fade, logo).
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>

#include "engine/Fbo.h"
#include "engine/GlowFx.h"
#include "engine/ImageFx.h"
#include "engine/PostScene.h"
#include "mesh/AniModel.h"
#include "mesh/MotionblurObu.h"
#include "mesh/StdModel.h"
#include "scenes/SceneUnoTracks.h"
#include "sync/Sync.h"

namespace OrvelDemo {

// Shared by every model of the scene; rewritten from "fov" each frame.
extern glm::mat4 sceneProjection;

class SceneUno : public Tarvo::PostScene {
public:
    // Shaders, textures and meshes the scene loads with the show's data: the length of
    // the loading bar.
    static constexpr int loadSteps = 77;

    SceneUno();
    ~SceneUno();

    void drawScene(const double& time) override;
    void composite(const double& time) override;
    float getBwMix() override;
    float getAuxValue() override;

    const Tarvo::Fbo& getFbo(int index) const; // 1 to 11
    const Tarvo::AniModel& getTruckAnim() const { return truckAnim; }
    const Tarvo::AniModel& getPumpJack(int index) const; // 0 to 2
    const Tarvo::MotionblurObu& getBridge() const { return bridge; }
    const Tarvo::MotionblurObu& getTruck() const { return truck; }
    const Tarvo::StdModel& getSkyBox() const { return skyBox; }

private:
    void drawSky(const glm::mat4& model);
    void compositeOcclusionAndBlur(const double& time);
    void compositeEdgesAndGlow(const double& time);
    void compositeFinish(const double& time);
    float track(UnoTrack name) const;

    Tarvo::MotionblurObu truck;
    Tarvo::MotionblurObu bridge;
    Tarvo::StdModel skyBox;
    Tarvo::AniModel pumpJackA;
    Tarvo::AniModel pumpJackB;
    Tarvo::AniModel pumpJackC;
    Tarvo::AniModel truckAnim;

    Tarvo::Fbo fbo1, fbo2, fbo3, fbo4, fbo5, fbo6, fbo7, fbo8, fbo9, fbo10, fbo11;

    Tarvo::ImageFx multiplier;
    Tarvo::ImageFx sobel;
    Tarvo::GlowFx glow;
    Tarvo::ImageFx vignette;
    Tarvo::ImageFx ssao;
    Tarvo::ImageFx motionblur;
    Tarvo::ImageFx combine;
    Tarvo::ImageFx splash;
    Tarvo::ImageFx logofx;

    // One handle a name of unoTrackNames, opened in that order.
    std::array<TrackHandle, unoTrackCount> tracks;

    GLuint vignetteTexture;
    GLuint logoTexture;
};

} // namespace OrvelDemo
