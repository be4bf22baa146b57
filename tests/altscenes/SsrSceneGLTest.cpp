// The reflection scene on the software renderer: members and log, the swing of its models,
// the projection handed to the compositing pass, and reflections of the frame in the floor.
#include <gtest/gtest.h>

#include <cmath>

#include "AltSceneFixture.h"
#include "engine/Transform.h"
#include "scenes/SsrScene.h"

namespace {

using namespace altscenetest;
using OrvelDemo::SsrScene;

using SsrSceneGLTest = ShowcaseSceneTest<SsrScene>;

glm::mat4 projectionOf(GLuint program)
{
    glm::mat4 m(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, "projection"), &m[0][0]);
    return m;
}

} // namespace

TEST_F(SsrSceneGLTest, BuildsItsMembersInOrderWithTheirLogLines)
{
    const std::vector<std::string> expected = {
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/fxaa.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/postproc.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/ssr/ssr.fs",
        "texID_[0] = ", "texID_[1] = ", "texID_[2] = ", "texID_[3] = ",
        "Loading OBJ file ./data/models/terrain.obj...", "Loading OBJ file ./data/models/runko.obj...",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/multiplier.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/sobel.fs",
        "Compiling: ./data/shaders/ssr/ssrobj.vs", "Compiling: ./data/shaders/ssr/ssrobj.fs",
    };
    expectBuildLog(expected);
    EXPECT_EQ(scene->getSceneFbo()->getTextureCount(), 4u);
    EXPECT_NE(scene->getBrassTexture(), 0u);
    for (const Tarvo::StdModel* model : {&scene->getTerrain(), &scene->getRunko()}) {
        EXPECT_EQ(model->getProjection(), &OrvelDemo::ssrProjection);
        EXPECT_EQ(model->getView(), SsrScene::initialView());
    }
}

TEST_F(SsrSceneGLTest, SwingsBothModelsAboutYAfterATiltAboutX)
{
    render(1000.0);
    const glm::mat4 identity(1.0f);
    const auto tilt = static_cast<float>(45.0 * std::sin(1.0));
    const glm::mat4 expected = Tarvo::rotate(identity, 50.0f, glm::vec3(0, 1, 0)) *
                               Tarvo::rotate(identity, tilt, glm::vec3(1, 0, 0));
    EXPECT_EQ(SsrScene::swing(1000.0), expected);
    EXPECT_EQ(scene->getTerrain().getModelMatrix(), expected);
    EXPECT_EQ(scene->getRunko().getModelMatrix(), expected);
    EXPECT_EQ(SsrScene::swing(0.0), identity);
}

TEST_F(SsrSceneGLTest, HandsTheProjectionToTheCompositingPass)
{
    render(0.0);
    EXPECT_EQ(projectionOf(scene->getProgram()), OrvelDemo::ssrProjection);
    EXPECT_EQ(OrvelDemo::ssrProjection, Tarvo::perspective(45.0f, 4.0f / 3.0f, 0.1f, 100.0f));
}

TEST_F(SsrSceneGLTest, FrameStartLeavesOtherProgramsAlone)
{
    // A frame starts with the previous frame's last pass, the FXAA program, current; the
    // compositing program's location means nothing to it.
    glUseProgram(scene->getFxaa().getProgram());
    while (glGetError() != GL_NO_ERROR) {
    }
    scene->setUniforms(0.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), scene->getFxaa().getProgram());
}

TEST_F(SsrSceneGLTest, RendersAPictureWithoutErrors)
{
    render(0.0);
    const Picture picture = composite();
    keepPicture(picture, "ssr");
    EXPECT_TRUE(Tarvo::fboStack.empty());
    EXPECT_GT(picture.pixelsUnlike(0.0f, 0.0f, 0.0f, 0.2f), showcaseWidth * showcaseHeight / 10);
}

TEST_F(SsrSceneGLTest, TheFloorReflectsTheFrame)
{
    render(0.0);
    const Picture colour = picture(*scene->getSceneFbo(), 0);
    const Picture reflectivity = picture(*scene->getSceneFbo(), 3);
    const Picture picture = composite();
    keepPicture(colour, "ssr-colour");
    int floorPixels = 0;
    int reflecting = 0;
    for (int y = 0; y < showcaseHeight; ++y)
        for (int x = 0; x < showcaseWidth; ++x) {
            if (reflectivity.at(x, y)[0] < 0.5f)
                continue;
            ++floorPixels;
            // The frame is orange, the floor dark blue: reflected frame turns the floor orange.
            if (picture.at(x, y)[0] - colour.at(x, y)[0] > 0.1f)
                ++reflecting;
        }
    ASSERT_GT(floorPixels, showcaseWidth * showcaseHeight / 10);
    EXPECT_GT(reflecting, floorPixels / 50);
    // Walls reflect little, so most of the frame keeps its own colour.
    EXPECT_LT(reflecting, floorPixels / 2);
}
