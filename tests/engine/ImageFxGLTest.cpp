// Image effects: which texture lands on which unit, how float parameters reach the draw,
// and how the input lists persist until cleared.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "engine/Fbo.h"
#include "engine/ImageFx.h"
#include "support/CapturedOutput.h"

using namespace enginetest;
using testsupport::CapturedOutput;
using Tarvo::Fbo;
using Tarvo::ImageFx;

namespace {

const char* const threeInputs = "#version 330 core\n"
                                "uniform sampler2D inputtex;\n"
                                "uniform sampler2D first;\n"
                                "uniform sampler2D second;\n"
                                "out vec4 color;\n"
                                "void main() {\n"
                                "  color = vec4(texture(inputtex, vec2(0.5)).r,\n"
                                "               texture(first, vec2(0.5)).g,\n"
                                "               texture(second, vec2(0.5)).b, 1.0);\n"
                                "}\n";

const char* const floatOut = "#version 330 core\n"
                             "uniform float sigma;\n"
                             "out vec4 color;\n"
                             "void main() { color = vec4(sigma, 0.0, 0.0, 1.0); }\n";

GLint samplerUnit(GLuint program, const char* name)
{
    GLint unit = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &unit);
    return unit;
}

class ImageFxGLTest : public EngineGLTest {};

} // namespace

TEST_F(ImageFxGLTest, InputTakesUnitZeroAndAddedTexturesFollowInOrder)
{
    ImageFx effect(scratch.write("three.fs", threeInputs));
    const GLuint input = makeColourTexture(0.25f, 0, 0, 1);
    const GLuint first = makeColourTexture(0, 0.5f, 0, 1);
    const GLuint second = makeColourTexture(0, 0, 0.75f, 1);
    Fbo target(8, 8, 0, 1, GL_RGBA16F);

    effect.setInput(input);
    effect.addTexture("first", first);
    effect.addTexture("second", second);
    target.bind();
    effect.render(0.0);
    target.unbind();

    EXPECT_EQ(currentProgram(), static_cast<GLint>(effect.getProgram())) << "program stays in use";
    EXPECT_EQ(textureOnUnit(0), static_cast<GLint>(input));
    EXPECT_EQ(textureOnUnit(1), static_cast<GLint>(first));
    EXPECT_EQ(textureOnUnit(2), static_cast<GLint>(second));
    EXPECT_EQ(samplerUnit(effect.getProgram(), "inputtex"), 0);
    EXPECT_EQ(samplerUnit(effect.getProgram(), "first"), 1);
    EXPECT_EQ(samplerUnit(effect.getProgram(), "second"), 2);

    const auto pixels = texturePixels(target.getTexture(0), 8, 8);
    // The quad covers the whole target, corners included.
    for (auto [x, y] : { std::pair { 0, 0 }, { 7, 0 }, { 0, 7 }, { 7, 7 }, { 4, 3 } })
        EXPECT_EQ(texel(pixels, 8, x, y), (std::array<float, 4> { 0.25f, 0.5f, 0.75f, 1 }));

    const GLuint textures[3] = { input, first, second };
    glDeleteTextures(3, textures);
}

TEST_F(ImageFxGLTest, WithoutSetInputUnitZeroHoldsNoTexture)
{
    ImageFx effect(scratch.write("three.fs", threeInputs));
    EXPECT_EQ(effect.getInput(), 0u);
    const GLuint stray = makeColourTexture(1, 1, 1, 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, stray);
    effect.render(0.0);
    EXPECT_EQ(textureOnUnit(0), 0);
    glDeleteTextures(1, &stray);
}

TEST_F(ImageFxGLTest, AFloatAddedTwiceIsSetTwiceAndTheDrawSeesTheLaterValue)
{
    ImageFx effect(scratch.write("float.fs", floatOut));
    Fbo target(4, 4, 0, 1, GL_RGBA16F);
    effect.addFloat("sigma", 0.25);
    effect.addFloat("sigma", 0.75);
    ASSERT_EQ(effect.getFloatInputs().size(), 2u);
    EXPECT_EQ(effect.getFloatInputs()[0].location, effect.getFloatInputs()[1].location);

    target.bind();
    effect.render(0.0);
    target.unbind();
    EXPECT_FLOAT_EQ(texturePixels(target.getTexture(0), 4, 4)[0], 0.75f);
    EXPECT_EQ(effect.getFloatInputs().size(), 2u) << "render does not clear the lists";

    effect.clearFloats();
    EXPECT_TRUE(effect.getFloatInputs().empty());
}

TEST_F(ImageFxGLTest, FloatsAreRoundedToSinglePrecisionWhenAdded)
{
    ImageFx effect(scratch.write("float.fs", floatOut));
    effect.addFloat("sigma", 0.1);
    EXPECT_EQ(effect.getFloatInputs()[0].value, static_cast<double>(0.1f));
    effect.render(0.0);
    GLfloat value = 0;
    glGetUniformfv(effect.getProgram(), glGetUniformLocation(effect.getProgram(), "sigma"), &value);
    EXPECT_EQ(value, 0.1f);
}

TEST_F(ImageFxGLTest, ListsPersistAcrossFramesUntilCleared)
{
    ImageFx effect(scratch.write("three.fs", threeInputs));
    const GLuint texture = makeColourTexture(1, 1, 1, 1);
    for (int frame = 0; frame < 3; ++frame) {
        effect.addTexture("first", texture);
        effect.addFloat("unknown", 1.0);
        effect.render(0.0);
    }
    EXPECT_EQ(effect.getTextureInputs().size(), 3u);
    EXPECT_EQ(effect.getFloatInputs().size(), 3u);
    // The stale entries are applied again: the third copy takes unit 3.
    EXPECT_EQ(textureOnUnit(3), static_cast<GLint>(texture));
    EXPECT_EQ(effect.getFloatInputs()[0].location, -1) << "unknown names are looked up as -1";

    effect.clearTextures();
    effect.clearFloats();
    EXPECT_TRUE(effect.getTextureInputs().empty());
    EXPECT_TRUE(effect.getFloatInputs().empty());
    glDeleteTextures(1, &texture);
}

TEST_F(ImageFxGLTest, AnEffectWhoseShaderIsMissingDrawsNothingAndDoesNotFail)
{
    Fbo target(4, 4, 0, 1, GL_RGBA16F);
    CapturedOutput out;
    ImageFx effect(scratch.file("missing.fs"));
    out.take();
    effect.addFloat("sigma", 1.0);
    effect.addTexture("first", 0);
    target.bind();
    effect.render(0.0);
    target.unbind();
    EXPECT_EQ(texturePixels(target.getTexture(0), 4, 4)[3], 0.0f);
}

TEST_F(ImageFxGLTest, DestructionReleasesTheProgramButNotTheTexturesItWasGiven)
{
    const GLuint input = makeColourTexture(1, 1, 1, 1);
    GLuint program = 0;
    {
        ImageFx effect(scratch.write("three.fs", threeInputs));
        program = effect.getProgram();
        effect.setInput(input);
        effect.render(0.0);
        glUseProgram(0);
    }
    EXPECT_FALSE(glIsProgram(program));
    EXPECT_TRUE(glIsTexture(input)) << "the input belongs to its creator";
    glDeleteTextures(1, &input);
}
