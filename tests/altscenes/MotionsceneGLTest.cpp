// The motion-blur scene on the software renderer: members, tracks and target sizes, a
// frame without GL errors, blur only where things move, and the glow and transform
// amounts taken from their tracks.
#include <gtest/gtest.h>

#include "AltSceneFixture.h"
#include "engine/Transform.h"
#include "scenes/Motionscene.h"

namespace {

using namespace altscenetest;
using OrvelDemo::Motionscene;

// Odd, so that the half-size targets show how they round.
constexpr int width = 255;
constexpr int height = 145;

// The cube turns 20 degrees a row; from row 20 the glow is lifted by "addconst", from
// row 30 the last pass spins and zooms the picture.
Tracks motionTracks()
{
    return {
        {"ulko", {{0, 0.0f, Linear}, {100, 4000.0f, Step}}},
        {"sisa", {{0, 10.0f, Step}}},
        {"sigma", {{0, 2.0f, Step}}},
        {"addconst", {{0, 0.0f, Step}, {20, 0.25f, Step}, {30, 0.0f, Step}}},
        {"thetamax", {{0, 0.0f, Step}, {30, 30.0f, Step}}},
        {"scalemax", {{0, 0.0f, Step}, {30, 0.5f, Step}}},
    };
}

class MotionsceneGLTest : public AltSceneTest<Motionscene, width, height> {
protected:
    void SetUp() override {} // each case builds with the tracks it needs

    Picture blurred() const { return picture(scene->getFullCopy()); }
    Picture glowed() const { return picture(scene->getGlowTarget()); }
};

float meanDifference(const Picture& a, const Picture& b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < a.rgba.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            sum += std::abs(a.rgba[i + c] - b.rgba[i + c]);
    return static_cast<float>(sum / (a.rgba.size() / 4 * 3));
}

} // namespace

TEST_F(MotionsceneGLTest, BuildsItsMembersAndOpensItsSixTracksInOrder)
{
    build({});
    const std::vector<std::string> expected = {
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/fxaa.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/postproc.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/motionblur.fs",
        "texID_[0] = ", "texID_[1] = ",
        "Loading OBJ file ./data/cube.obj...", "Loading OBJ file ./data/models/terrain.obj...",
        "Loading OBJ file ./data/models/skybox.obj...",
        "SYNC TRACK ./data/science/sync_ulko.track NOT FOUND", "SYNC TRACK ./data/science/sync_sisa.track NOT FOUND",
        "SYNC TRACK ./data/science/sync_addconst.track NOT FOUND",
        "SYNC TRACK ./data/science/sync_sigma.track NOT FOUND",
        "SYNC TRACK ./data/science/sync_thetamax.track NOT FOUND",
        "SYNC TRACK ./data/science/sync_scalemax.track NOT FOUND",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/blurvert.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/blurhoriz.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/glowtot.fs",
        // The glow's own passes.
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/glowtot.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/blurvert.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/shaders/blurhoriz.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/addtransf.fs",
        "Compiling: ./data/shaders/trivial.vs", "Compiling: ./data/vignette.fs",
        "Compiling: ./data/motionblurobj.vs", "Compiling: ./data/motionblurobj.fs",
    };
    expectBuildLog(expected);
    // Three post-processing targets, then extraScene, then eight targets of one texture
    // each, then the glow's two: "1::" lines come from the two-texture targets only.
    std::size_t secondAttachments = 0;
    for (std::size_t at = log.find("\n1:: "); at != std::string::npos; at = log.find("\n1:: ", at + 1))
        ++secondAttachments;
    EXPECT_EQ(secondAttachments, 4u);
}

TEST_F(MotionsceneGLTest, HalfTargetsAreTruncatedHalvesAndSetTheGlowsBlurSize)
{
    build({});
    EXPECT_EQ(scene->getFullCopy().getWidth(), width);
    EXPECT_EQ(scene->getGlowTarget().getHeight(), height);
    EXPECT_EQ(scene->getHalfCopy().getWidth(), 127);
    EXPECT_EQ(scene->getHalfCopy().getHeight(), 72);
    EXPECT_EQ(scene->getGlow().getVerticalTarget().getWidth(), 127);
    EXPECT_EQ(scene->getGlow().getHorizontalTarget().getHeight(), 72);
}

TEST_F(MotionsceneGLTest, ModelsStartWithTheirCamerasAndTheSharedProjection)
{
    build({});
    EXPECT_EQ(OrvelDemo::motionProjection, Tarvo::perspective(45.0f, 4.0f / 3.0f, 0.1f, 100.0f));
    EXPECT_EQ(scene->getCube().getProjection(), &OrvelDemo::motionProjection);
    EXPECT_EQ(scene->getTerrain().getProjection(), &OrvelDemo::motionProjection);
    EXPECT_EQ(scene->getCube().getView(), Motionscene::cubeView());
    EXPECT_EQ(scene->getTerrain().getView(), Tarvo::lookAt(glm::vec3(0, 0, 1), glm::vec3(0), glm::vec3(0, 1, 0)));
    EXPECT_EQ(scene->getSkybox().getProjection(), nullptr);
    EXPECT_EQ(Tarvo::Model::getCurrentProgram(), Motionscene::getObjectProgram());
}

TEST_F(MotionsceneGLTest, TracksTurnTheCubeAndRaiseAndTurnTheTerrainCamera)
{
    build(motionTracks());
    renderAt(2.0f);
    const glm::mat4 identity(1.0f);
    EXPECT_EQ(scene->getCube().getModelMatrix(), Tarvo::rotate(identity, 40.0f, glm::vec3(0.71f, 0.71f, 0.0f)));
    EXPECT_EQ(scene->getTerrain().getModelMatrix(), Tarvo::rotate(identity, 5.0f, glm::vec3(0, 1, 0)));
    EXPECT_EQ(scene->getTerrain().getView(), Motionscene::terrainView(10.0f));
    EXPECT_EQ(Motionscene::terrainView(10.0f),
              Tarvo::lookAt(glm::vec3(0, 1, -5), glm::vec3(0, 1, 5), glm::vec3(0, 1, 0)));
}

TEST_F(MotionsceneGLTest, RendersAPictureWithoutErrors)
{
    build(motionTracks());
    renderAt(0.0f);
    renderAt(1.0f);
    const Picture picture = composite();
    keepPicture(picture, "motion");
    keepPicture(colour(), "motion-colour");
    EXPECT_TRUE(Tarvo::fboStack.empty());
    EXPECT_GT(picture.mean(), 0.05f);
    EXPECT_GT(picture.pixelsUnlike(0.0f, 0.0f, 0.0f, 0.1f), width * height / 10);
}

TEST_F(MotionsceneGLTest, BlursOnlyWhatMoves)
{
    build(motionTracks());
    // The first draw of a model has no earlier matrix: nothing moves, nothing blurs.
    renderAt(0.0f);
    EXPECT_LT(meanDifference(colour(), blurred()), 0.002f);
    const double sharpStill = colour().edgeEnergy();

    // A row later the cube has turned 20 degrees and smears along its turn.
    renderAt(1.0f);
    const Picture sharp = colour();
    const Picture smeared = blurred();
    keepPicture(smeared, "motion-blurred");
    EXPECT_GT(meanDifference(sharp, smeared), 0.005f);
    EXPECT_LT(smeared.edgeEnergy(), 0.85 * sharp.edgeEnergy());
    EXPECT_GT(sharp.edgeEnergy(), 0.5 * sharpStill);
}

TEST_F(MotionsceneGLTest, GlowAndTransformFollowTheirTracks)
{
    build(motionTracks());
    renderAt(10.0f);
    const Picture plainGlow = glowed();
    // With no turn and no zoom the last pass hands the glow's picture on unchanged.
    EXPECT_LT(meanDifference(plainGlow, composite()), 0.002f);

    renderAt(20.0f);
    const float lift = glowed().mean() - plainGlow.mean();
    EXPECT_NEAR(lift, 0.25f, 0.02f);

    renderAt(30.0f);
    keepPicture(composite(), "motion-spun");
    EXPECT_GT(meanDifference(glowed(), composite()), 0.01f);
}
