// The motion-blur scene. The default compositing pass (the velocity blur) runs twice a
// frame, into a full-size and a half-size copy: the glow blurs the small one and lays it
// over the large one, and a last pass spins and zooms the result by track amounts.
#include "scenes/Motionscene.h"

#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "engine/Transform.h"
#include "runtime/Demo.h"
#include "scenes/SceneSetup.h"

namespace OrvelDemo {

namespace {

// Track values become angles (degrees) and the terrain camera's height through these.
constexpr float turnPerUnit = 0.5f;
constexpr double heightPerUnit = 0.1;
const glm::vec3 cubeAxis(0.71f, 0.71f, 0.0f);

GLuint objectProgram = 0;

// Half the window, divided in double precision and truncated.
int halfWidth()
{
    return static_cast<int>(Tarvo::demoWidth() / 2.0);
}

int halfHeight()
{
    return static_cast<int>(Tarvo::demoHeight() / 2.0);
}

} // namespace

const glm::mat4 motionProjection = showcaseProjection();

Motionscene::Motionscene()
    : Tarvo::PostScene("./data/motionblur.fs", 2),
      extraScene(Tarvo::demoWidth(), Tarvo::demoHeight(), 1, 2, GL_RGBA16F),
      cube("./data/cube.obj", Tarvo::MeshFormatObj, "./data/crack.png"),
      terrain("./data/models/terrain.obj", Tarvo::MeshFormatObj, "./data/img/brass2.png"),
      skybox("./data/models/skybox.obj", Tarvo::MeshFormatObj, "./data/img/skytex.png"),
      ulko(openTrack("ulko")),
      sisa(openTrack("sisa")),
      addconst(openTrack("addconst")),
      sigma(openTrack("sigma")),
      thetamax(openTrack("thetamax")),
      scalemax(openTrack("scalemax")),
      fullCopy(Tarvo::demoWidth(), Tarvo::demoHeight(), 0, 1, GL_RGBA16F),
      spareFull(Tarvo::demoWidth(), Tarvo::demoHeight(), 0, 1, GL_RGBA16F),
      glowTarget(Tarvo::demoWidth(), Tarvo::demoHeight(), 0, 1, GL_RGBA16F),
      halfCopy(halfWidth(), halfHeight(), 0, 1, GL_RGBA16F),
      glowSizer(halfWidth(), halfHeight(), 0, 1, GL_RGBA16F),
      spareHalf(halfWidth(), halfHeight(), 0, 1, GL_RGBA16F),
      glowUnblurredInit(Tarvo::demoWidth(), Tarvo::demoHeight(), 0, 1, GL_RGBA16F),
      spareFull2(Tarvo::demoWidth(), Tarvo::demoHeight(), 0, 1, GL_RGBA16F),
      blurVertical("./data/blurvert.fs"),
      blurHorizontal("./data/blurhoriz.fs"),
      glowTotal("./data/glowtot.fs"),
      glow(&glowSizer, &glowUnblurredInit),
      addTransform("./data/addtransf.fs"),
      vignette("./data/vignette.fs"),
      vignetteTexture(loadTexture("./data/vignette.png", false))
{
    objectProgram = loadShaderProgram("./data/motionblurobj.vs", "./data/motionblurobj.fs");
    placeModels({&cube}, &motionProjection, cubeView(), objectProgram);
    placeModels({&terrain}, &motionProjection,
        Tarvo::lookAt(glm::vec3(0, 0, 1), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0)), objectProgram);
}

Motionscene::~Motionscene()
{
    glDeleteTextures(1, &vignetteTexture);
    deleteShaderProgram(objectProgram);
    objectProgram = 0;
}

GLuint Motionscene::getObjectProgram()
{
    return objectProgram;
}

glm::mat4 Motionscene::cubeView()
{
    return showcaseView();
}

glm::mat4 Motionscene::terrainView(float s)
{
    const auto y = static_cast<float>(heightPerUnit * s);
    return Tarvo::lookAt(glm::vec3(0, y, -5), glm::vec3(0, y, 5), glm::vec3(0, 1, 0));
}

float Motionscene::track(const TrackHandle& handle) const
{
    return handle.getValue(gDemo ? gDemo->getRow() : 0.0f);
}

void Motionscene::drawScene(const double& time)
{
    cube.setShader(objectProgram);
    const float u = track(ulko);
    const float s = track(sisa);
    const glm::mat4 identity(1.0f);

    cube.setView(cubeView());
    cube.setModelMatrix(Tarvo::rotate(identity, turnPerUnit * u, cubeAxis));
    cube.draw(time);

    terrain.setView(terrainView(s));
    terrain.setModelMatrix(Tarvo::rotate(identity, turnPerUnit * s, glm::vec3(0, 1, 0)));
    terrain.draw(time);
}

// Releasing each copy re-binds and clears the composite framebuffer, so the copies are
// finished before the glow and only the last pass draws into the composite itself.
void Motionscene::composite(const double& time)
{
    fullCopy.bind();
    PostScene::composite(time);
    fullCopy.unbind();

    halfCopy.bind();
    PostScene::composite(time);
    halfCopy.unbind();

    glowTarget.bind();
    glow.addFloat("addconst", track(addconst));
    glow.setUnblurred(&fullCopy);
    glow.setSource(&halfCopy);
    glow.render(track(sigma));
    glow.clearFloats();
    glowTarget.unbind();

    addTransform.setInput(glowTarget.getTexture(0));
    addTransform.addFloat("thetamax", track(thetamax));
    addTransform.addFloat("scalemax", track(scalemax));
    addTransform.render(time);
    addTransform.clearFloats();
}

} // namespace OrvelDemo
