// The main scene built on a tiny data set and rendered at a small size on the software
// renderer: its construction, its tracks' effect on the picture and its use of the
// framebuffer stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <regex>

#include "SceneTestData.h"
#include "engine/Loading.h"
#include "engine/LoadProgress.h"
#include "engine/Transform.h"
#include "runtime/Demo.h"
#include "scenes/SceneUno.h"
#include "support/CapturedOutput.h"
#include "support/DemoTestContext.h"
#include "support/GLTestContext.h"

namespace {

using namespace scenetest;

constexpr int width = 96;
constexpr int height = 54;

// Camera ten metres back along -x looking at the bridge box at the origin. Later rows
// switch single tracks so one scene shows each effect.
Tracks showTracks()
{
    return {
        {"fov", {{0, 60.0f, Step}}},
        {"camX", {{0, -6.0f, Step}}},
        {"camYaw", {{0, 0.0f, Step}, {100, 35.0f, Step}, {200, 0.0f, Step}}},
        {"scenedarken", {{0, 1.0f, Step}, {200, 0.0f, Step}, {300, 1.0f, Step}}},
        {"logoconstant", {{0, 0.0f, Step}, {300, 1.0f, Step}}},
        {"addconst", {{0, 1.0f, Step}}},
        {"sigma", {{0, 2.0f, Step}}},
    };
}

struct Picture {
    std::vector<float> rgba;
    float mean() const
    {
        double sum = 0.0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
        return static_cast<float>(sum / (rgba.size() / 4 * 3));
    }
    const float* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    // Standard deviation of the pixels' brightness as shown (clamped to 0..1): how much
    // the picture holds besides one flat colour.
    float spread() const
    {
        double sum = 0.0;
        double squares = 0.0;
        const size_t pixels = rgba.size() / 4;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            double v = 0.0;
            for (int c = 0; c < 3; ++c)
                v += std::clamp(rgba[i + c], 0.0f, 1.0f) / 3.0;
            sum += v;
            squares += v * v;
        }
        const double mean = sum / pixels;
        return static_cast<float>(std::sqrt(std::max(0.0, squares / pixels - mean * mean)));
    }
};

class SceneUnoTest : public ::testing::Test {
protected:
    void build(const Tracks& tracks)
    {
        makeSceneData(scratch, tracks);
        REQUIRE_DEMO_CONTEXT(width, height);
        testsupport::CapturedOutput captured;
        scene = std::make_unique<OrvelDemo::SceneUno>();
        log = captured.take();
    }

    Picture renderAt(float row)
    {
        gDemo->setRow(row);
        gDemo->setFrameTime(16.5);
        scene->render(row / 20.0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return Picture{testsupport::readTexture(scene->getCompositeFbo().getTexture(0), width, height)};
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OrvelDemo::SceneUno> scene;
    std::string log;
};

TEST_F(SceneUnoTest, OpensItsTracksInOrderAndSizesItsTargets)
{
    build({});
    std::vector<std::string> opened;
    const std::regex notFound(R"(SYNC TRACK \./data/science/sync_(\w+)\.track NOT FOUND)");
    for (std::sregex_iterator it(log.begin(), log.end(), notFound), end; it != end; ++it)
        opened.push_back((*it)[1]);
    const auto& names = OrvelDemo::unoTrackNames;
    EXPECT_EQ(opened, std::vector<std::string>(names.begin(), names.end()));

    for (int i = 1; i <= 11; ++i) {
        const bool half = i == 5;
        EXPECT_EQ(scene->getFbo(i).getWidth(), half ? width / 2 : width) << "fbo" << i;
        EXPECT_EQ(scene->getFbo(i).getHeight(), half ? height / 2 : height) << "fbo" << i;
    }
}

TEST_F(SceneUnoTest, StartsWithTheDocumentedModelState)
{
    build({});
    const glm::mat4 initialView = Tarvo::lookAt(glm::vec3(0, 1, 4), glm::vec3(0, 1, 0), glm::vec3(0, 1, 0));
    EXPECT_EQ(scene->getBridge().getView(), initialView);
    EXPECT_EQ(scene->getTruck().getView(), initialView);
    EXPECT_EQ(scene->getTruckAnim().getView(), initialView);
    EXPECT_EQ(scene->getPumpJack(0).getView(), initialView);
    EXPECT_EQ(scene->getPumpJack(1).getView(), glm::mat4(1.0f));
    EXPECT_EQ(scene->getSkyBox().getView(), glm::mat4(1.0f));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(scene->getPumpJack(i).getProjection(), &OrvelDemo::sceneProjection);
    EXPECT_EQ(OrvelDemo::sceneProjection, Tarvo::perspective(90.0f, 16.0f / 9.0f, 0.1f, 8192.0f));
}

TEST_F(SceneUnoTest, FovTrackSetsTheProjectionEachFrame)
{
    build(showTracks());
    renderAt(0.0f);
    const glm::mat4 expected = Tarvo::perspective(60.0f, 16.0f / 9.0f, 0.1f, 8192.0f);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(OrvelDemo::sceneProjection[c][r], expected[c][r], 1e-6f);
}

TEST_F(SceneUnoTest, NanFieldOfViewStillGivesAFiniteProjectionAndAPicture)
{
    // The timeline compiler refuses NaN, but a track file made by hand can hold one.
    Tracks tracks = showTracks();
    tracks["fov"] = {{0, std::nanf(""), Step}};
    build(tracks);
    const Picture picture = renderAt(0.0f);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_TRUE(std::isfinite(OrvelDemo::sceneProjection[c][r])) << c << "," << r;
    EXPECT_GT(picture.mean(), 0.05f);
}

TEST_F(SceneUnoTest, ALaterDataSetInTheSameProcessBringsItsOwnTracks)
{
    build({{"fov", {{0, 60.0f, Step}}}});
    renderAt(0.0f);
    EXPECT_NEAR(OrvelDemo::sceneProjection[1][1], 1.0f / std::tan(glm::radians(30.0f)), 1e-5f);
    scene.reset();
    build({{"fov", {{0, 30.0f, Step}}}});
    renderAt(0.0f);
    EXPECT_NEAR(OrvelDemo::sceneProjection[1][1], 1.0f / std::tan(glm::radians(15.0f)), 1e-5f);
}

TEST_F(SceneUnoTest, FadeTrackBlackensAndRevealsThePicture)
{
    build(showTracks());
    const Picture shown = renderAt(0.0f);
    const Picture faded = renderAt(250.0f);
    EXPECT_GT(shown.mean(), 0.05f);
    EXPECT_LT(faded.mean(), 1e-4f);
    // The bridge box in the middle stands out from the sky around it.
    const float* centre = shown.at(width / 2, height / 2);
    const float* corner = shown.at(2, 2);
    EXPECT_GT(std::abs(centre[0] - corner[0]) + std::abs(centre[2] - corner[2]), 0.05f);
}

TEST_F(SceneUnoTest, LogoTrackShowsTheLogo)
{
    build(showTracks());
    const Picture plain = renderAt(0.0f);
    const Picture titled = renderAt(350.0f);
    const float* logo = titled.at(width / 2, height / 2);
    EXPECT_GT(logo[1], 0.9f);
    EXPECT_LT(logo[0], 0.1f);
    EXPECT_LT(plain.at(width / 2, height / 2)[1], 0.9f);
}

TEST_F(SceneUnoTest, YawTrackTurnsThePicture)
{
    build(showTracks());
    const Picture ahead = renderAt(0.0f);
    const Picture turned = renderAt(150.0f);
    double difference = 0.0;
    for (size_t i = 0; i < ahead.rgba.size(); ++i)
        difference += std::abs(ahead.rgba[i] - turned.rgba[i]);
    EXPECT_GT(difference / ahead.rgba.size(), 0.01);
}

TEST_F(SceneUnoTest, SameRowAfterTheSameFrameGivesTheSamePicture)
{
    // Motion blur reads the previous frame's matrices, so a frame is reproducible when
    // the frame before it is too.
    build(showTracks());
    renderAt(150.0f);
    const Picture first = renderAt(0.0f);
    renderAt(150.0f);
    const Picture again = renderAt(0.0f);
    EXPECT_EQ(first.rgba, again.rgba);
}

TEST(SceneUnoShowData, RendersTheShowsOwnDataWithoutAGLError)
{
    // The generated data and the committed timeline, as the show plays them.
    std::filesystem::current_path(VANTOR_SOURCE_DIR);
    testsupport::DemoTestContext::reloadTracks();
    ASSERT_TRUE(std::filesystem::exists("data/models/silta2.bobj")) << "build the assets target first";
    ASSERT_TRUE(std::filesystem::exists("data/science/sync_e.track")) << "build the timeline target first";
    REQUIRE_DEMO_CONTEXT(width, height);
    const int stepsBefore = gDemo->getLoading().account().progress().stepsDone;
    OrvelDemo::SceneUno scene;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The loading bar's length: what the scene says it loads is what it loads.
    EXPECT_EQ(gDemo->getLoading().account().progress().stepsDone - stepsBefore, OrvelDemo::SceneUno::loadSteps);
    for (float row : {99.0f, 100.0f, 700.0f, 1200.0f, 1800.0f, 2400.0f, 3300.0f}) {
        gDemo->setRow(row);
        gDemo->setFrameTime(16.5);
        scene.render(row / 20.0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "row " << row;
        const Picture picture{testsupport::readTexture(scene.getCompositeFbo().getTexture(0), width, height)};
        // Neither faded out nor washed out, and more than a flat colour.
        EXPECT_GT(picture.mean(), 0.05f) << "row " << row;
        EXPECT_LT(picture.mean(), 0.85f) << "row " << row;
        EXPECT_GT(picture.spread(), 0.03f) << "row " << row;
    }
}

TEST_F(SceneUnoTest, CompositeLeavesTheStackAsItFoundIt)
{
    build(showTracks());
    renderAt(0.0f);
    EXPECT_TRUE(Tarvo::fboStack.empty());

    Tarvo::Fbo outer(width, height, 1, 1, GL_RGBA16F);
    Tarvo::Fbo inner(width, height, 1, 1, GL_RGBA16F);
    outer.bind();
    inner.bind();
    scene->composite(0.0);
    ASSERT_EQ(Tarvo::fboStack.size(), 2u);
    EXPECT_EQ(Tarvo::fboStack.back(), &inner);
    // The last pass (the logo) drew into the target that was current on entry.
    const std::vector<float> drawn = testsupport::readTexture(inner.getTexture(0), width, height);
    EXPECT_GT(Picture{drawn}.mean(), 0.05f);
    inner.unbind();
    outer.unbind();
}

} // namespace
