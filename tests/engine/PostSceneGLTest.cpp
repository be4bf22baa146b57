// The post-processing scene: its constructor's log, the frame pipeline's passes and the
// state a frame leaves behind, the default composite's texture units and the hooks a
// derived scene overrides.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "EngineTestUtil.h"
#include "engine/PostScene.h"
#include "support/CapturedOutput.h"
#include "support/GLTestContext.h"

using namespace enginetest;
using testsupport::CapturedOutput;
using Tarvo::Fbo;
using Tarvo::ImageFx;

namespace {

// Four scene outputs, each carrying one channel of the picture.
const char* const fourOutputs = "#version 330 core\n"
                                "layout(location = 0) out vec4 out0;\n"
                                "layout(location = 1) out vec4 out1;\n"
                                "layout(location = 2) out vec4 out2;\n"
                                "layout(location = 3) out vec4 out3;\n"
                                "void main() {\n"
                                "  out0 = vec4(0.6, 0.0, 0.0, 1.0);\n"
                                "  out1 = vec4(0.0, 0.4, 0.0, 1.0);\n"
                                "  out2 = vec4(0.0, 0.0, 0.2, 1.0);\n"
                                "  out3 = vec4(0.0, 0.0, 0.0, 1.0);\n"
                                "}\n";

// A compositing shader that reads all four scene textures and "time".
const char* const composeFour = "#version 330 core\n"
                                "in vec2 UV;\n"
                                "uniform sampler2D texture0;\n"
                                "uniform sampler2D texture1;\n"
                                "uniform sampler2D texture2;\n"
                                "uniform sampler2D texture3;\n"
                                "uniform float time;\n"
                                "out vec4 color;\n"
                                "void main() {\n"
                                "  color = vec4(texture(texture0, UV).r, texture(texture1, UV).g,\n"
                                "               texture(texture2, UV).b, texture(texture3, UV).a);\n"
                                "  if (time < -1000.0) color = vec4(0.0);\n"
                                "}\n";

// The same without "texture3".
const char* const composeThree = "#version 330 core\n"
                                 "in vec2 UV;\n"
                                 "uniform sampler2D texture0;\n"
                                 "uniform sampler2D texture1;\n"
                                 "uniform sampler2D texture2;\n"
                                 "out vec4 color;\n"
                                 "void main() {\n"
                                 "  color = vec4(texture(texture0, UV).r, texture(texture1, UV).g,\n"
                                 "               texture(texture2, UV).b, 1.0);\n"
                                 "}\n";

class TestScene : public Tarvo::PostScene {
public:
    TestScene(const std::string& compositeShader, unsigned count, const std::string& drawShader)
        : PostScene(compositeShader, count), draw(drawShader)
    {
    }

    void drawScene(const double& time) override
    {
        draw.render(time);
        if (afterDraw)
            afterDraw();
    }
    void composite(const double& time) override
    {
        if (runDefaultComposite)
            PostScene::composite(time);
        if (afterComposite)
            afterComposite();
    }
    void setUniforms(const double&) override { ++uniformCalls; }
    float getBwMix() override { return bwMix; }

    ImageFx draw;
    bool runDefaultComposite = true;
    int uniformCalls = 0;
    float bwMix = 0.0f;
    std::function<void()> afterDraw;
    std::function<void()> afterComposite;
};

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

float uniformValue(GLuint program, const char* name)
{
    GLfloat value = -1;
    glGetUniformfv(program, glGetUniformLocation(program, name), &value);
    return value;
}

class PostSceneGLTest : public EngineGLTest {
protected:
    std::unique_ptr<TestScene> makeScene(const char* compositeSource, std::string* log = nullptr)
    {
        const auto composite = scratch.write("compose.fs", compositeSource);
        const auto draw = scratch.write("draw.fs", fourOutputs);
        CapturedOutput out;
        auto scene = std::make_unique<TestScene>(composite, 4, draw);
        const std::string text = out.take();
        if (log)
            *log = text;
        return scene;
    }
};

} // namespace

TEST_F(PostSceneGLTest, ConstructorLogsOneTexIdLinePerSceneTextureInOrder)
{
    std::string log;
    auto scene = makeScene(composeFour, &log);
    const auto lines = linesStartingWith(log, "texID_[");
    ASSERT_EQ(lines.size(), 4u) << log;
    for (unsigned i = 0; i < 4; ++i) {
        const std::string name = "texture" + std::to_string(i);
        const GLint location = glGetUniformLocation(scene->getProgram(), name.c_str());
        ASSERT_GE(location, 0);
        EXPECT_EQ(lines[i], "texID_[" + std::to_string(i) + "] = " + std::to_string(location)
                + " (" + name + ")");
        EXPECT_EQ(scene->getSceneFbo()->getTexId(i), location);
    }
    // Three framebuffers with four attachments each.
    EXPECT_EQ(linesStartingWith(log, "3:: 36067").size(), 3u) << log;
    EXPECT_EQ(scene->getSceneFbo()->getWidth(), windowWidth);
    EXPECT_EQ(scene->getCompositeFbo().getHeight(), windowHeight);
}

TEST_F(PostSceneGLTest, ASamplerTheShaderLacksIsLoggedAs4294967295)
{
    std::string log;
    auto scene = makeScene(composeThree, &log);
    const auto lines = linesStartingWith(log, "texID_[");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "texID_[3] = 4294967295 (texture3)");
    EXPECT_EQ(scene->getSceneFbo()->getTexId(3), -1);
    scene->render(0.0); // the missing sampler is ignored
    EXPECT_TRUE(Tarvo::fboStack.empty());
}

TEST_F(PostSceneGLTest, AFrameReachesTheWindowThroughEveryPass)
{
    auto scene = makeScene(composeFour);
    fillCurrent(0, 0, 1, 1);
    scene->render(1.5);

    EXPECT_TRUE(Tarvo::fboStack.empty());
    EXPECT_EQ(currentFramebuffer(), 0);
    EXPECT_EQ(currentViewport(), (std::array<GLint, 4> { 0, 0, windowWidth, windowHeight }));
    EXPECT_EQ(currentProgram(), static_cast<GLint>(scene->getFxaa().getProgram()));
    EXPECT_EQ(textureOnUnit(0), static_cast<GLint>(scene->getPostFbo().getTexture(0)));

    // 0.6, 0.4, 0.2 from the three scene textures; the grain stays within a few levels.
    const auto pixels = testsupport::readPixels(0, 0, windowWidth, windowHeight);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_NEAR(pixels[i], 153, 4) << i / 4;
        ASSERT_NEAR(pixels[i + 1], 102, 4) << i / 4;
        ASSERT_NEAR(pixels[i + 2], 51, 4) << i / 4;
        ASSERT_EQ(pixels[i + 3], 255) << i / 4;
    }
    EXPECT_FLOAT_EQ(uniformValue(scene->getProgram(), "time"), 1.5f);
}

TEST_F(PostSceneGLTest, TheMainScenesCompositingShaderShowsTheLitColour)
{
    const auto draw = scratch.write("draw.fs", fourOutputs);
    CapturedOutput out;
    TestScene scene("./data/shaders/trivial.fs", 4, draw);
    const auto lines = linesStartingWith(out.take(), "texID_[");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("texID_[0] = 4294967295", 0), std::string::npos) << lines[0];
    scene.render(0.0);
    const auto pixel = testsupport::readPixel(10, 10);
    EXPECT_NEAR(pixel[0], 153, 4);
    EXPECT_NEAR(pixel[1], 0, 4);
    EXPECT_NEAR(pixel[2], 0, 4);
}

TEST_F(PostSceneGLTest, DefaultCompositePutsSceneTextureIOnUnitI)
{
    auto scene = makeScene(composeFour);
    std::vector<GLint> units;
    std::vector<GLint> samplers;
    std::vector<Fbo*> stack;
    scene->afterComposite = [&] {
        stack = Tarvo::fboStack;
        for (unsigned i = 0; i < 4; ++i) {
            units.push_back(textureOnUnit(i));
            GLint value = -1;
            glGetUniformiv(scene->getProgram(), scene->getSceneFbo()->getTexId(i), &value);
            samplers.push_back(value);
        }
    };
    scene->render(0.0);
    ASSERT_EQ(units.size(), 4u);
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_EQ(units[i], static_cast<GLint>(scene->getSceneFbo()->getTexture(i))) << i;
        EXPECT_EQ(samplers[i], static_cast<GLint>(i)) << i;
    }
    ASSERT_EQ(stack.size(), 2u) << "composite runs inside postFbo and compositeFbo";
    EXPECT_EQ(stack[0], &scene->getPostFbo());
    EXPECT_EQ(stack[1], &scene->getCompositeFbo());
}

TEST_F(PostSceneGLTest, SetUniformsRunsTwiceAFrameOnlyWhenTheDefaultCompositeRuns)
{
    auto scene = makeScene(composeFour);
    scene->render(0.0);
    scene->render(0.1);
    EXPECT_EQ(scene->uniformCalls, 4);

    scene->uniformCalls = 0;
    scene->runDefaultComposite = false;
    scene->render(0.2);
    scene->render(0.3);
    EXPECT_EQ(scene->uniformCalls, 2);
}

TEST_F(PostSceneGLTest, PostProcessingGetsTheBwMixAndTimeForOneFrame)
{
    auto scene = makeScene(composeFour);
    const GLuint post = scene->getPostprocess().getProgram();
    scene->render(2.25);
    EXPECT_FLOAT_EQ(uniformValue(post, "bwmix"), 0.0f) << "a scene without its own mix";
    EXPECT_FLOAT_EQ(uniformValue(post, "iGlobalTime"), 2.25f);
    EXPECT_TRUE(scene->getPostprocess().getFloatInputs().empty());

    scene->bwMix = 1.0f;
    scene->render(2.5);
    EXPECT_FLOAT_EQ(uniformValue(post, "bwmix"), 1.0f);
    const auto pixel = testsupport::readPixel(windowWidth / 2, windowHeight / 2);
    EXPECT_NEAR(pixel[0], pixel[1], 2) << "black and white";
    EXPECT_NEAR(pixel[1], pixel[2], 2);
    EXPECT_GT(pixel[0], 60);
}

TEST_F(PostSceneGLTest, ATargetDrawSceneReleasesLeavesTheSceneTargetCurrentButCleared)
{
    auto scene = makeScene(composeFour);
    Fbo own(8, 8, 1, 1, GL_RGBA16F);
    GLint framebufferAfter = -1;
    std::vector<std::uint8_t> pixelAfter;
    scene->afterDraw = [&] {
        own.bind();
        own.unbind();
        framebufferAfter = currentFramebuffer();
        pixelAfter = testsupport::readPixel(3, 3);
    };
    scene->render(0.0);
    EXPECT_EQ(framebufferAfter, static_cast<GLint>(scene->getSceneFbo()->getFramebuffer()));
    EXPECT_EQ(pixelAfter, (std::vector<std::uint8_t> { 0, 0, 0, 0 }));
    // So the frame comes out black.
    EXPECT_EQ(testsupport::readPixel(3, 3)[0], 0);
}

TEST_F(PostSceneGLTest, DestructionReleasesTheProgramEffectsAndFramebuffers)
{
    auto scene = makeScene(composeFour);
    scene->render(0.0);
    glUseProgram(0);
    const GLuint program = scene->getProgram();
    const GLuint fxaa = scene->getFxaa().getProgram();
    const GLuint sceneFramebuffer = scene->getSceneFbo()->getFramebuffer();
    const GLuint postTexture = scene->getPostFbo().getTexture(0);
    scene.reset();
    EXPECT_FALSE(glIsProgram(program));
    EXPECT_FALSE(glIsProgram(fxaa));
    EXPECT_FALSE(glIsFramebuffer(sceneFramebuffer));
    EXPECT_FALSE(glIsTexture(postTexture));
}
