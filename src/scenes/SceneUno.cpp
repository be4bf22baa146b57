#include "scenes/SceneUno.h"

#include <cmath>

#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "engine/Transform.h"
#include "runtime/Demo.h"
#include "scenes/CameraRig.h"
#include "scenes/SceneSetup.h"

namespace OrvelDemo {

using enum UnoTrack;

namespace {

constexpr float aspect = 16.0f / 9.0f;
constexpr float nearPlane = 0.1f;
constexpr float farPlane = 8192.0f;
constexpr float pumpJackScale = 1.3f;
constexpr float skyScale = 32.0f;
constexpr float startFov = 90.0f;
constexpr float minFov = 1.0f;
constexpr float maxFov = 179.0f;

GLuint envmapProgram = 0;
GLuint texturemapperProgram = 0;
GLuint rekkaProgram = 0;
glm::mat4 initialView(1.0f);

std::array<TrackHandle, unoTrackCount> openTracks()
{
    std::array<TrackHandle, unoTrackCount> handles;
    for (std::size_t i = 0; i < unoTrackCount; ++i)
        handles[i] = openTrack(unoTrackNames[i]);
    return handles;
}

// A field of view of 0 or 180 degrees has no projection; keep to the open range so a
// missing or wild "fov" track cannot fill the frame with NaN. A NaN (a damaged track
// file) passes through any clamp, so it gets the start-up field of view instead.
float usableFieldOfView(float degrees)
{
    if (std::isnan(degrees))
        return startFov;
    return glm::clamp(degrees, minFov, maxFov);
}

} // namespace

glm::mat4 sceneProjection = Tarvo::perspective(startFov, aspect, nearPlane, farPlane);

SceneUno::SceneUno()
    : Tarvo::PostScene("./data/shaders/trivial.fs", 4),
      truck("./data/models/truck.bobj", 2, "./data/img/envmap.png"),
      bridge("./data/models/silta2.bobj", 2, "./data/img/envmap.png"),
      skyBox("./data/models/taivaslaatikko.obj", 0, "./data/img/skytex.png"),
      pumpJackA("./data/models/anims/pumppujaakko060514/test.nwa", "./data/crack.png"),
      pumpJackB("./data/models/anims/pumppujaakko060514/test.nwa", "./data/crack.png"),
      pumpJackC("./data/models/anims/pumppujaakko060514/test.nwa", "./data/crack.png"),
      truckAnim("./data/models/anims/truck/anim.nwa", "./data/crack.png"),
      fbo1(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo2(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo3(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo4(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo5(static_cast<int>(static_cast<unsigned>(Tarvo::demoWidth()) / 2u),
           static_cast<int>(static_cast<unsigned>(Tarvo::demoHeight()) / 2u), 1, 1, GL_RGBA16F),
      fbo6(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo7(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo8(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo9(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo10(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      fbo11(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 1, GL_RGBA16F),
      multiplier("./data/shaders/multiplier.fs"),
      sobel("./data/shaders/sobel.fs"),
      glow(&fbo2, &fbo2),
      vignette("./data/shaders/vignette.fs"),
      ssao("./data/shaders/ssao.fs"),
      motionblur("./data/shaders/motionblur.fs"),
      combine("./data/shaders/combine.fs"),
      splash("./data/shaders/splash.fs"),
      logofx("./data/shaders/logofx.fs"),
      tracks(openTracks()),
      vignetteTexture(loadTexture("./data/img/vignette.png", false)),
      logoTexture(loadTexture("./data/img/vantor.png", false))
{
    envmapProgram = loadShaderProgram("./data/shaders/envmap/envmap.vs", "./data/shaders/envmap/envmap.fs");
    texturemapperProgram = loadShaderProgram("./data/shaders/texturemapper.vs", "./data/shaders/texturemapper.fs");
    rekkaProgram = loadShaderProgram("./data/shaders/envmap/envmap.vs", "./data/shaders/envmap/rekka.fs");

    initialView = Tarvo::lookAt(glm::vec3(0, 1, 4), glm::vec3(0, 1, 0), glm::vec3(0, 1, 0));
    const glm::mat4 identity(1.0f);

    for (Tarvo::Model* model : {static_cast<Tarvo::Model*>(&truck), static_cast<Tarvo::Model*>(&bridge),
                                static_cast<Tarvo::Model*>(&pumpJackA)}) {
        model->setProjection(&sceneProjection);
        model->setView(initialView);
        model->setModelMatrix(identity);
        model->setShader(envmapProgram);
    }
    pumpJackB.setProjection(&sceneProjection);
    pumpJackC.setProjection(&sceneProjection);
    truckAnim.setProjection(&sceneProjection);
    truckAnim.setView(initialView);
    truckAnim.setModelMatrix(identity);
    truckAnim.setShader(envmapProgram);
    skyBox.setProjection(&sceneProjection);
    skyBox.setView(identity);
    skyBox.setModelMatrix(identity);
    skyBox.setShader(texturemapperProgram);
}

SceneUno::~SceneUno()
{
    glDeleteTextures(1, &vignetteTexture);
    glDeleteTextures(1, &logoTexture);
    deleteShaderProgram(envmapProgram);
    deleteShaderProgram(texturemapperProgram);
    deleteShaderProgram(rekkaProgram);
    envmapProgram = texturemapperProgram = rekkaProgram = 0;
}

float SceneUno::track(UnoTrack name) const
{
    return tracks[static_cast<std::size_t>(name)].getValue(gDemo->getRow());
}

float SceneUno::getBwMix()
{
    return track(bw);
}

float SceneUno::getAuxValue()
{
    return 0.0f;
}

const Tarvo::Fbo& SceneUno::getFbo(int index) const
{
    const Tarvo::Fbo* fbos[] = {&fbo1, &fbo2, &fbo3, &fbo4, &fbo5, &fbo6, &fbo7, &fbo8, &fbo9, &fbo10, &fbo11};
    return *fbos[(index >= 1 && index <= 11) ? index - 1 : 0];
}

const Tarvo::AniModel& SceneUno::getPumpJack(int index) const
{
    return index == 1 ? pumpJackB : index == 2 ? pumpJackC : pumpJackA;
}

void SceneUno::drawScene(const double& time)
{
    const float fieldOfView = usableFieldOfView(track(fov));
    sceneProjection = Tarvo::perspective(fieldOfView, aspect, nearPlane, farPlane);
    const glm::mat4 inverseProjection = glm::inverse(sceneProjection);
    for (const GLuint program : {envmapProgram, rekkaProgram}) {
        if (!Tarvo::useLinkedProgram(program))
            continue;
        glUniformMatrix4fv(Tarvo::uniformLocation(program, "invProjection"), 1, GL_FALSE,
            &inverseProjection[0][0]);
    }
    glDisable(GL_BLEND);

    const glm::vec3 eye(track(camX), track(camY), track(camZ));
    ShakeAmplitudes amplitudes;
    amplitudes.yaw = track(yawNoise);
    amplitudes.pitch = track(pitchNoise);
    amplitudes.roll = track(rollNoise);
    const ShakeTerms shake = computeShake(time, amplitudes);
    CameraAngles angles;
    angles.yaw = track(camYaw);
    angles.pitch = track(camPitch);
    angles.roll = track(camRoll);
    const CameraFrame camera = computeCamera(eye, angles, shake);

    const glm::mat4 identity(1.0f);
    drawSky(camera.skyView * Tarvo::rotate(identity, -90.0f, glm::vec3(0, 0, 1)) *
            Tarvo::scale(identity, glm::vec3(skyScale)));

    // The static truck follows the animated one so its motion-blur history stays valid,
    // though only the animated truck is drawn.
    truck.setView(camera.cameraView);
    truck.setModelMatrix(Tarvo::translate(identity, glm::vec3(0, 0, track(truckpos))));
    truck.setShader(rekkaProgram);

    bridge.setShader(envmapProgram);
    bridge.setView(camera.cameraView);
    bridge.setModelMatrix(identity);
    bridge.draw(time);

    const float frame = track(jaakkoframe);
    const float lift = track(jaakkoposy);
    const glm::mat4 jackScale = Tarvo::scale(identity, glm::vec3(pumpJackScale));
    pumpJackA.setView(camera.cameraView);
    pumpJackA.setModelMatrix(Tarvo::translate(identity, glm::vec3(0, lift, 0)) * jackScale);
    pumpJackA.setShader(envmapProgram);
    pumpJackA.draw(frame);

    pumpJackB.setView(camera.cameraView);
    pumpJackB.setModelMatrix(Tarvo::translate(identity, glm::vec3(track(jaakkoBx), lift, track(jaakkoBz))) *
                             jackScale);
    pumpJackB.setShader(rekkaProgram);
    pumpJackB.draw(frame);

    pumpJackC.setView(camera.cameraView);
    pumpJackC.setModelMatrix(Tarvo::translate(identity, glm::vec3(track(jaakkoCx), lift, track(jaakkoCz))) *
                             jackScale);
    pumpJackC.setShader(rekkaProgram);
    pumpJackC.draw(frame);

    truckAnim.setView(camera.cameraView);
    truckAnim.setModelMatrix(Tarvo::translate(identity, glm::vec3(0, 0, track(truckpos))));
    truckAnim.setShader(envmapProgram);
    truckAnim.draw(track(rekkaframe));
}

void SceneUno::drawSky(const glm::mat4& model)
{
    // The sky writes no depth, so everything drawn after it covers it.
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    skyBox.setShader(texturemapperProgram);
    skyBox.setModelMatrix(model);
    skyBox.draw(0.0);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
}

void SceneUno::composite(const double& time)
{
    compositeOcclusionAndBlur(time);
    compositeEdgesAndGlow(time);
    compositeFinish(time);
}

// Releasing a target re-binds and clears the one below it, so each group binds its
// targets outermost first and every pass reads only targets already released.
void SceneUno::compositeOcclusionAndBlur(const double& time)
{
    Tarvo::Fbo& scene = *getSceneFbo();
    fbo1.bind();
    fbo9.bind();
    fbo8.bind();
    PostScene::composite(time);
    fbo8.unbind();

    ssao.setInput(scene.getTexture(1));
    ssao.addTexture("texture1", scene.getTexture(3));
    ssao.addTexture("texture2", fbo8.getTexture(0));
    ssao.render(time);
    ssao.clearTextures();
    fbo9.unbind();

    motionblur.setInput(fbo9.getTexture(0));
    motionblur.addTexture("texture1", scene.getTexture(2));
    motionblur.addFloat("scaler", gDemo->getFrameTime());
    motionblur.render(1.0);
    motionblur.clearFloats();
    motionblur.clearTextures();
    fbo1.unbind();
}

void SceneUno::compositeEdgesAndGlow(const double& time)
{
    Tarvo::Fbo& scene = *getSceneFbo();
    fbo11.bind();
    fbo10.bind();
    fbo7.bind();
    fbo6.bind();
    fbo3.bind();
    sobel.setInput(scene.getTexture(1));
    sobel.render(time);
    fbo3.unbind();

    fbo4.bind();
    sobel.setInput(scene.getTexture(0));
    sobel.render(time);
    fbo4.unbind();

    fbo2.bind();
    combine.setInput(fbo3.getTexture(0));
    combine.addTexture("vignette", fbo4.getTexture(0));
    combine.render(time);
    combine.clearTextures();
    fbo2.unbind();

    fbo5.bind();
    sobel.setInput(scene.getTexture(0));
    sobel.render(time);
    fbo5.unbind();

    glow.setSource(&fbo5);
    glow.setUnblurred(&fbo2);
    glow.addFloat("addconst", track(addconst));
    glow.render(track(sigma));
    glow.clearFloats();
    fbo6.unbind();
}

void SceneUno::compositeFinish(const double& time)
{
    multiplier.setInput(fbo1.getTexture(0));
    multiplier.addTexture("mask", fbo6.getTexture(0));
    multiplier.render(time);
    multiplier.clearTextures();
    fbo7.unbind();

    vignette.setInput(fbo7.getTexture(0));
    vignette.addTexture("vignette", vignetteTexture);
    vignette.render(time);
    vignette.clearTextures();
    fbo10.unbind();

    splash.addFloat("alpha", track(scenedarken));
    splash.setInput(fbo10.getTexture(0));
    splash.render(time);
    splash.clearFloats();
    fbo11.unbind();

    logofx.setInput(fbo11.getTexture(0));
    logofx.addTexture("logotex", logoTexture);
    logofx.addFloat("logo", track(logoconstant));
    logofx.render(time);
    logofx.clearTextures();
    logofx.clearFloats();
}

} // namespace OrvelDemo
