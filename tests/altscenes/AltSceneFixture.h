// The fixture every alternative scene's GL test derives from: the scene built on a fresh
// data set in a scratch folder, with what it logged while building, frames rendered with
// GL errors checked, and its targets read back as pictures at the window's size.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AltSceneTestData.h"
#include "engine/Fbo.h"
#include "runtime/Demo.h"
#include "support/CapturedOutput.h"
#include "support/DemoTestContext.h"
#include "support/ScratchDir.h"

namespace altscenetest {

template <class Scene, int windowWidth, int windowHeight>
class AltSceneTest : public ::testing::Test {
protected:
    // Builds on a data set without tracks; a fixture whose cases need tracks overrides
    // this and lets each case build.
    void SetUp() override { build(); }

    // Writes the data set with these tracks, then builds the scene in the demo instance's
    // window and keeps its log.
    void build(const Tracks& tracks = {})
    {
        makeAltSceneData(scratch, tracks);
        REQUIRE_DEMO_CONTEXT(windowWidth, windowHeight);
        testsupport::CapturedOutput captured;
        scene = std::make_unique<Scene>();
        log = captured.take();
    }

    // One frame at this time, which must raise no GL error; errors left by earlier
    // calls are cleared first so they are not blamed on it.
    void render(double time)
    {
        while (glGetError() != GL_NO_ERROR) {
        }
        scene->render(time);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // One frame at this row, set in the demo instance as the show's clock would, at
    // the show's 20 rows a second.
    void renderAt(float row)
    {
        gDemo->setRow(row);
        render(row / 20.0);
    }

    // The build's "Compiling:", "Loading OBJ file", "texID_[" and "SYNC TRACK" lines are
    // these, in order, each line starting with its entry; and every sampler was found (a
    // missing one has the location -1, which the log prints unsigned).
    void expectBuildLog(const std::vector<std::string>& expected) const
    {
        const std::vector<std::string> events = loadEvents(log);
        ASSERT_EQ(events.size(), expected.size()) << log;
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(events[i].rfind(expected[i], 0), 0u) << events[i];
        EXPECT_EQ(log.find("4294967295"), std::string::npos) << log;
    }

    Picture picture(const Tarvo::Fbo& target, unsigned texture = 0) const
    {
        return Picture::of(target.getTexture(texture), windowWidth, windowHeight);
    }
    Picture colour() const { return picture(*scene->getSceneFbo()); }
    Picture composite() const { return picture(scene->getCompositeFbo()); }

    testsupport::ScratchDir scratch;
    std::unique_ptr<Scene> scene;
    std::string log;
};

// The occlusion and reflection scenes share their camera, and their tests one window size.
inline constexpr int showcaseWidth = 256;
inline constexpr int showcaseHeight = 144;
template <class Scene>
using ShowcaseSceneTest = AltSceneTest<Scene, showcaseWidth, showcaseHeight>;

} // namespace altscenetest
