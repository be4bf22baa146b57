// The snow viewer: flakes over a dark background from a gliding camera, the state it
// sets around the particles put back afterwards, and the particles' clock in milliseconds.
#include <gtest/gtest.h>

#include "AltSceneFixture.h"
#include "scenes/SnowViewer.h"

namespace {

using namespace altscenetest;
using OrvelDemo::SnowViewer;

// Flakes are a few pixels wide at full HD; a smaller picture still shows the nearer ones.
constexpr int width = 480;
constexpr int height = 270;
const float background[3] = {0.06f, 0.09f, 0.18f};

class SnowViewerGLTest : public AltSceneTest<SnowViewer, width, height> {
protected:
    Picture shownAt(double time)
    {
        render(time);
        return composite();
    }
};

int flakePixels(const Picture& picture)
{
    return picture.pixelsUnlike(background[0], background[1], background[2], 0.3f);
}

} // namespace

TEST_F(SnowViewerGLTest, DrawsFlakesOverADarkBackground)
{
    const Picture picture = shownAt(0.0);
    keepPicture(picture, "snow");
    EXPECT_GT(flakePixels(picture), 30);
    // Mostly background: the slab is sparse.
    EXPECT_LT(flakePixels(picture), width * height / 10);
    const float* corner = picture.at(0, height - 1);
    EXPECT_NEAR(corner[0], background[0], 0.01f);
    EXPECT_NEAR(corner[2], background[2], 0.01f);
}

TEST_F(SnowViewerGLTest, PutsBackTheStateItSets)
{
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    shownAt(0.0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_TRUE(depthMask);
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);

    glEnable(GL_BLEND);
    shownAt(0.1);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(SnowViewerGLTest, TheCameraGlidesAndTheFlakesRunOnMilliseconds)
{
    const Picture first = shownAt(0.0);
    EXPECT_EQ(scene->getSnow().getLastUpdateTime(), 0.0);
    const Picture later = shownAt(3.0);
    EXPECT_EQ(scene->getSnow().getLastUpdateTime(), 3000.0);
    EXPECT_NE(SnowViewer::view(0.0), SnowViewer::view(3.0));
    int changed = 0;
    for (std::size_t i = 0; i < first.rgba.size(); ++i)
        if (std::abs(first.rgba[i] - later.rgba[i]) > 0.2f)
            ++changed;
    EXPECT_GT(changed, 20);
}
