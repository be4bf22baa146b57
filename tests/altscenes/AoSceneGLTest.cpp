// The occlusion scene on the software renderer: what it builds and logs, a frame without
// GL errors, and occlusion that darkens the frame's inner corners but not its open faces.
#include <gtest/gtest.h>

#include "AltSceneFixture.h"
#include "engine/Transform.h"
#include "scenes/AoScene.h"

namespace {

using namespace altscenetest;
using OrvelDemo::AoScene;

using AoSceneGLTest = ShowcaseSceneTest<AoScene>;

// Brightness after occlusion relative to before, around a world point at time 0.
float occlusionAt(const Picture& before, const Picture& after, const glm::vec3& world)
{
    const glm::ivec2 p =
        pixelOf(OrvelDemo::aoProjection * AoScene::initialView(), world, showcaseWidth, showcaseHeight);
    return after.meanAround(p.x, p.y, 2) / before.meanAround(p.x, p.y, 2);
}

} // namespace

TEST_F(AoSceneGLTest, BuildsItsMembersInOrderWithTheirLogLines)
{
    const std::vector<std::string> expected = {
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/fxaa.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/postproc.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/ssao.fs",
        "texID_[0] = ", "texID_[1] = ",
        "Loading OBJ file ./data/models/nokka.obj...", "Loading OBJ file ./data/models/runko.obj...",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/multiplier.fs",
        "Compiling: ./data/ssaobj.vs", "Compiling: ./data/ssaobj.fs",
    };
    expectBuildLog(expected);
    // Both samplers exist in the compositing shader.
    EXPECT_NE(log.find("(texture1)"), std::string::npos);

    EXPECT_EQ(scene->getSceneFbo()->getTextureCount(), 2u);
    EXPECT_EQ(scene->getExtraTarget().getWidth(), showcaseWidth);
    EXPECT_EQ(scene->getExtraTarget().getTextureCount(), 1u);
    EXPECT_NE(scene->getMultiplier().getProgram(), 0u);
    EXPECT_GT(scene->getNokka().vertexCount(), 0);
    EXPECT_GT(scene->getRunko().vertexCount(), 0);
}

TEST_F(AoSceneGLTest, ModelsShareTheProjectionViewAndObjectProgram)
{
    EXPECT_EQ(OrvelDemo::aoProjection, Tarvo::perspective(45.0f, 4.0f / 3.0f, 0.1f, 100.0f));
    for (const Tarvo::StdModel* model : {&scene->getNokka(), &scene->getRunko()}) {
        EXPECT_EQ(model->getProjection(), &OrvelDemo::aoProjection);
        EXPECT_EQ(model->getView(), Tarvo::lookAt(glm::vec3(4, 3, 3), glm::vec3(0), glm::vec3(0, 1, 0)));
    }
    EXPECT_NE(AoScene::getObjectProgram(), 0u);
    EXPECT_EQ(Tarvo::Model::getCurrentProgram(), AoScene::getObjectProgram());
}

TEST_F(AoSceneGLTest, TurnsTheModelsByAHundredthDegreePerFifthOfASecond)
{
    render(200.0);
    const glm::mat4 expected = Tarvo::rotate(glm::mat4(1.0f), 10.0f, glm::vec3(0, 1, 0));
    EXPECT_EQ(scene->getNokka().getModelMatrix(), expected);
    EXPECT_EQ(scene->getRunko().getModelMatrix(), expected);
}

TEST_F(AoSceneGLTest, RendersTheModelsOverABackground)
{
    render(0.0);
    const Picture picture = composite();
    keepPicture(picture, "ao");
    EXPECT_TRUE(Tarvo::fboStack.empty());
    // The models cover the middle; the background gradient the top corner.
    const float* corner = picture.at(2, showcaseHeight - 3);
    EXPECT_GT(picture.pixelsUnlike(corner[0], corner[1], corner[2], 0.15f), showcaseWidth * showcaseHeight / 10);
    EXPECT_GT(picture.mean(), 0.1f);
}

TEST_F(AoSceneGLTest, OcclusionDarkensInnerCornersAndLeavesOpenFaces)
{
    render(0.0);
    const Picture before = colour();
    const Picture after = composite();
    keepPicture(before, "ao-colour");
    // Where each wall meets the floor, and where the two walls meet.
    EXPECT_LT(occlusionAt(before, after, glm::vec3(-0.9f, -0.78f, 0.4f)), 0.6f);
    EXPECT_LT(occlusionAt(before, after, glm::vec3(0.5f, -0.78f, -0.9f)), 0.6f);
    EXPECT_LT(occlusionAt(before, after, glm::vec3(-0.9f, 0.5f, -0.9f)), 0.6f);
    // The top of the near beam and the open floor at the front edge face only the sky.
    EXPECT_GT(occlusionAt(before, after, glm::vec3(1.0f, 1.1f, 0.0f)), 0.95f);
    EXPECT_GT(occlusionAt(before, after, glm::vec3(1.25f, -0.8f, 0.0f)), 0.95f);
}
