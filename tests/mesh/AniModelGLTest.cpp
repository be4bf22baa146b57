// AniModel on a real context: parts loaded from the ".nwa" file's own directory, each
// drawn with its evaluated key as post matrix and the animation's matrices, each keeping
// its own previous matrix; files that cannot animate give a model that draws nothing.
#include <memory>

#include "MeshGLTestUtil.h"
#include "engine/Transform.h"
#include "mesh/AniModel.h"
#include "support/CapturedOutput.h"

namespace {

using meshtest::matricesNear;
using meshtest::uniformMatrix;
using testsupport::CapturedOutput;

const char* const kPart = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n";

struct LoadedAnimation {
    std::unique_ptr<Tarvo::AniModel> model;
    std::string output;
};

class AniModelGLTest : public meshtest::MeshGLTest {
protected:
    LoadedAnimation load(const std::string& nwaPath)
    {
        LoadedAnimation result;
        CapturedOutput captured;
        result.model = std::make_unique<Tarvo::AniModel>(nwaPath, "ignored.png");
        result.output = captured.take();
        return result;
    }

    // Two parts, A = 20, B = 10: three keys each.
    std::string writeAnimation()
    {
        scratch.write("anim/a.obj", kPart);
        scratch.write("anim/parts/b.obj", kPart);
        return scratch.write("anim/test.nwa", "a.obj parts/b.obj\n20 10\n"
                                              "1 2 3 0.1 0.2 0.3   -1 -2 -3 0 0 0\n"
                                              "4 5 6 0.4 0.5 0.6   -4 -5 -6 1 1 1\n"
                                              "7 8 9 0.7 0.8 0.9   -7 -8 -9 2 2 2\n");
    }

    // The test animation, ready to draw with the program through the test's projection.
    LoadedAnimation drawable(GLuint program)
    {
        LoadedAnimation animation = load(writeAnimation());
        animation.model->setProjection(&projection);
        animation.model->setShader(program);
        return animation;
    }

    const glm::mat4 projection = Tarvo::perspective(70.0f, 1.0f, 0.1f, 100.0f);
    const glm::mat4 view = Tarvo::lookAt(glm::vec3(0, 3, 12), glm::vec3(0), glm::vec3(0, 1, 0));
    const glm::mat4 placement = Tarvo::rotate(glm::mat4(1.0f), 40.0f, glm::vec3(0, 1, 0));
};

} // namespace

TEST_F(AniModelGLTest, PartsLoadFromTheNwaFilesDirectory)
{
    LoadedAnimation animation = load(writeAnimation());
    const auto& parts = animation.model->getParts();
    ASSERT_EQ(parts.size(), 2u);
    for (const Tarvo::AniPart& part : parts) {
        ASSERT_NE(part.mesh, nullptr);
        EXPECT_EQ(part.mesh->vertexCount(), 3);
        EXPECT_EQ(part.length, 20);
        EXPECT_EQ(part.spacing, 10);
        EXPECT_EQ(part.keys.size(), 3u);
    }
    EXPECT_EQ(parts[1].keys[2].position, glm::vec3(-7, -8, -9));
    const std::string dir = scratch.path().string();
    EXPECT_NE(animation.output.find("Loading OBJ file " + dir + "/anim/a.obj..."),
              std::string::npos)
        << animation.output;
    EXPECT_NE(animation.output.find("Loading OBJ file " + dir + "/anim/parts/b.obj..."),
              std::string::npos);
}

TEST_F(AniModelGLTest, EveryPartIsTexturedWithTheEnvironmentMap)
{
    // "./data/img/envmap.png" is relative to the working directory.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    meshtest::writePng(scratch, "data/img/envmap.png", 4, 2);
    const std::string ignored = meshtest::writePng(scratch, "other.png", 8, 8);
    CapturedOutput captured;
    Tarvo::AniModel model(writeAnimation(), ignored);
    captured.take();
    std::filesystem::current_path(previous);
    ASSERT_EQ(model.getParts().size(), 2u);
    for (const Tarvo::AniPart& part : model.getParts())
        EXPECT_EQ(meshtest::textureSize(part.mesh->getTexture()), glm::ivec2(4, 2));
}

TEST_F(AniModelGLTest, EachPartDrawsWithItsKeyAsPostMatrix)
{
    const GLuint program = modelProgram();
    LoadedAnimation animation = drawable(program);
    Tarvo::AniModel& model = *animation.model;
    model.setView(view);
    model.setModelMatrix(placement);
    model.draw(15.0);
    for (const Tarvo::AniPart& part : model.getParts()) {
        const glm::mat4 post = Tarvo::partPostMatrix(part.evaluate(15.0));
        EXPECT_TRUE(matricesNear(part.mesh->getPostMatrix(), post));
        EXPECT_EQ(part.mesh->getPreMatrix(), glm::mat4(1.0f));
        EXPECT_EQ(part.mesh->getProjection(), &projection);
        EXPECT_EQ(part.mesh->getView(), view);
        EXPECT_EQ(part.mesh->getModelMatrix(), placement);
    }
    // The last part drawn leaves its matrices in the shared program.
    const Tarvo::AniPart& last = model.getParts().back();
    const glm::mat4 lastPost = Tarvo::partPostMatrix(last.evaluate(15.0));
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "MVP"),
                             projection * view * placement * lastPost));
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "M"), placement));
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), program);
    glDeleteProgram(program);
}

TEST_F(AniModelGLTest, PartsKeepTheirOwnPreviousMatrices)
{
    const GLuint program = modelProgram();
    LoadedAnimation animation = drawable(program);
    Tarvo::AniModel& model = *animation.model;
    model.draw(5.0);
    model.draw(12.0);
    const Tarvo::AniPart& last = model.getParts().back();
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"),
                             projection * Tarvo::partPostMatrix(last.evaluate(5.0))));
    const Tarvo::AniPart& first = model.getParts().front();
    EXPECT_TRUE(matricesNear(first.mesh->getPreviousMVP(),
                             projection * Tarvo::partPostMatrix(first.evaluate(12.0))));
    glDeleteProgram(program);
}

TEST_F(AniModelGLTest, MissingOrUnanimatableFilesGiveAModelWithoutParts)
{
    const std::string missing = (scratch.path() / "none.nwa").string();
    LoadedAnimation none = load(missing);
    EXPECT_EQ(none.output, "Cannot open animation " + missing + "\n");
    EXPECT_TRUE(none.model->getParts().empty());

    const std::string bad = scratch.write("bad.nwa", "a.obj\n100 0\n1 2 3 4 5 6\n");
    LoadedAnimation rejected = load(bad);
    EXPECT_EQ(rejected.output.rfind("Animation " + bad + " not loaded: ", 0), 0u)
        << rejected.output;
    EXPECT_EQ(rejected.output.find("Loading OBJ"), std::string::npos) << "no part is loaded";
    EXPECT_TRUE(rejected.model->getParts().empty());

    for (LoadedAnimation* animation : {&none, &rejected}) {
        animation->model->setProjection(&projection);
        CapturedOutput captured;
        animation->model->draw(3.0);
        EXPECT_EQ(captured.take(), "");
    }
}

TEST_F(AniModelGLTest, AMissingPartMeshDrawsNothingAndTheOthersDraw)
{
    const GLuint program = modelProgram();
    scratch.write("anim/a.obj", kPart);
    const std::string nwa = scratch.write("anim/test.nwa", "a.obj gone.obj\n10 10\n");
    LoadedAnimation animation = load(nwa);
    ASSERT_EQ(animation.model->getParts().size(), 2u);
    EXPECT_NE(animation.output.find("Impossible to open the file!"), std::string::npos);
    EXPECT_EQ(animation.model->getParts()[0].mesh->vertexCount(), 3);
    EXPECT_EQ(animation.model->getParts()[1].mesh->vertexCount(), 0);
    animation.model->setProjection(&projection);
    animation.model->setShader(program);
    animation.model->draw(1.0);
    EXPECT_TRUE(animation.model->getParts()[1].mesh->hasPreviousMVP());
    glDeleteProgram(program);
}

TEST_F(AniModelGLTest, DrawingBeforeAProjectionIsSetSaysSoOnce)
{
    const GLuint program = modelProgram();
    LoadedAnimation animation = load(writeAnimation());
    animation.model->setShader(program);
    CapturedOutput captured;
    animation.model->draw(1.0);
    animation.model->draw(2.0);
    EXPECT_EQ(captured.take(), "Model drawn before setProjection: nothing drawn\n");
    EXPECT_FALSE(animation.model->getParts()[0].mesh->hasPreviousMVP());
    glDeleteProgram(program);
}
