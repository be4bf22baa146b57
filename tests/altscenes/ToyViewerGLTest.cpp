// The shader-toy viewer: the shader-toy pass drawn straight into the current target, a
// picture that moves with time, and no use of the post-processing targets.
#include <gtest/gtest.h>

#include <memory>

#include "AltSceneTestData.h"
#include "engine/Fbo.h"
#include "runtime/Demo.h"
#include "scenes/ToyViewer.h"
#include "support/DemoTestContext.h"

namespace {

using namespace altscenetest;

constexpr int width = 128;
constexpr int height = 72;

} // namespace

TEST(ToyViewerGLTest, DrawsTheShaderToyIntoTheCurrentTarget)
{
    const testsupport::ScratchDir scratch;
    makeAltSceneData(scratch);
    REQUIRE_DEMO_CONTEXT(width, height);
    OrvelDemo::ToyViewer viewer;
    EXPECT_NE(viewer.getToy().getImageTexture(), 0u);
    Tarvo::Fbo target(width, height, 1, 1, GL_RGBA16F);

    while (glGetError() != GL_NO_ERROR) {
    }
    target.bind();
    viewer.render(1.0);
    target.unbind();
    const Picture early = Picture::of(target.getTexture(0), width, height);
    target.bind();
    viewer.render(4.0);
    target.unbind();
    const Picture late = Picture::of(target.getTexture(0), width, height);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    keepPicture(early, "toy");

    EXPECT_GT(early.pixelsUnlike(0.0f, 0.0f, 0.0f, 0.1f), width * height / 2);
    int changed = 0;
    for (std::size_t i = 0; i < early.rgba.size(); ++i)
        if (std::abs(early.rgba[i] - late.rgba[i]) > 0.05f)
            ++changed;
    EXPECT_GT(changed, width * height / 10);
    // "iGlobalTime" is set once per frame.
    EXPECT_TRUE(viewer.getToy().getEffect().getFloatInputs().empty());
    // The post-processing targets stay unused.
    EXPECT_EQ(Picture::of(viewer.getCompositeFbo().getTexture(0), width, height).mean(), 0.0f);
}
