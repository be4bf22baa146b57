// The shader-toy scene: its image input, one "iGlobalTime" per frame, and a picture that
// moves; it runs from a folder holding "./data/zebra.png" and the engine's shaders.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/ShaderToy.h"

using namespace enginetest;
using Tarvo::Fbo;
using Tarvo::ShaderToy;

namespace {

class ShaderToyGLTest : public EngineGLTest {
protected:
    void SetUp() override
    {
        EngineGLTest::SetUp();
        std::filesystem::create_directories(scratch.path() / "data");
        std::filesystem::create_directory_symlink(
            std::filesystem::path(VANTOR_SOURCE_DIR) / "data/shaders", scratch.path() / "data/shaders");
        ASSERT_EQ(chdir(scratch.path().c_str()), 0);
    }

    // Black and white stripes, like the image the show ships.
    void writeZebra()
    {
        constexpr int side = 32;
        std::vector<std::uint8_t> pixels(side * side * 3);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                for (int c = 0; c < 3; ++c)
                    pixels[(y * side + x) * 3 + c] = ((x + y) / 4) % 2 ? 255 : 0;
        writePng(scratch, "data/zebra.png", side, side, 3, pixels);
    }

    std::vector<float> renderAt(ShaderToy& toy, Fbo& target, double time)
    {
        target.bind();
        toy.render(time);
        target.unbind();
        return texturePixels(target.getTexture(0), target.getWidth(), target.getHeight());
    }
};

} // namespace

TEST_F(ShaderToyGLTest, DrawsTheImageThroughItsShaderWithTheTimeOnceAFrame)
{
    writeZebra();
    ShaderToy toy("./data/shaders/toy.fs");
    ASSERT_NE(toy.getImageTexture(), 0u);
    glBindTexture(GL_TEXTURE_2D, toy.getImageTexture());
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 32) << "the image is loaded";
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);

    Fbo target(64, 48, 1, 1, GL_RGBA16F);
    const auto first = renderAt(toy, target, 0.0);
    EXPECT_TRUE(toy.getEffect().getFloatInputs().empty());
    EXPECT_EQ(textureOnUnit(0), static_cast<GLint>(toy.getImageTexture()));
    GLfloat time = -1;
    const GLuint program = toy.getEffect().getProgram();
    glGetUniformfv(program, glGetUniformLocation(program, "iGlobalTime"), &time);
    EXPECT_EQ(time, 0.0f);

    const auto later = renderAt(toy, target, 1.25);
    glGetUniformfv(program, glGetUniformLocation(program, "iGlobalTime"), &time);
    EXPECT_EQ(time, 1.25f);

    // A lit, opaque picture that changes with time.
    float brightest = 0;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < first.size(); i += 4) {
        ASSERT_EQ(first[i + 3], 1.0f);
        brightest = std::max(brightest, first[i] + first[i + 1] + first[i + 2]);
        if (std::fabs(first[i] - later[i]) > 0.02f)
            ++changed;
    }
    EXPECT_GT(brightest, 0.3f);
    EXPECT_GT(changed, first.size() / 4 / 4);
}

TEST_F(ShaderToyGLTest, AMissingImageStillGivesAScene)
{
    ShaderToy toy("./data/shaders/toy.fs");
    EXPECT_NE(toy.getImageTexture(), 0u);
    Fbo target(16, 16, 1, 1, GL_RGBA16F);
    const auto pixels = renderAt(toy, target, 3.0);
    for (float value : pixels)
        ASSERT_TRUE(std::isfinite(value));
    EXPECT_TRUE(Tarvo::fboStack.empty());
}

TEST_F(ShaderToyGLTest, DestructionReleasesTheImageAndTheEffect)
{
    writeZebra();
    GLuint image = 0;
    GLuint program = 0;
    {
        ShaderToy toy("./data/shaders/toy.fs");
        image = toy.getImageTexture();
        program = toy.getEffect().getProgram();
        EXPECT_TRUE(glIsTexture(image));
    }
    EXPECT_FALSE(glIsTexture(image));
    EXPECT_FALSE(glIsProgram(program));
}
