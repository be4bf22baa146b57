// StdModel on a real context: uploads of "MVP", "M", "V" and the sampler, the shared
// current program, the caller-owned projection, what reaches the screen, and models
// that have nothing to draw or cannot draw yet.
#include <glm/gtc/matrix_transform.hpp>

#include "MeshGLTestUtil.h"
#include "engine/Transform.h"
#include "mesh/StdModel.h"
#include "support/CapturedOutput.h"

namespace {

using meshtest::isWhite;
using meshtest::matricesNear;
using meshtest::uniformMatrix;
using testsupport::CapturedOutput;

// A triangle over the middle of the view: covers the centre, not the corners.
const char* const kTriangleObj = "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0 0.5 0\n"
                                 "vt 0 0\nvt 1 0\nvt 0.5 1\nvn 0 0 1\n"
                                 "f 1/1/1 2/2/1 3/3/1\n";

// Models are owned by value, as scenes own them; the loaders' lines are kept off the
// test output: the capture, a base, starts before the model is built.
class QuietModel : private CapturedOutput {
public:
    explicit QuietModel(const std::string& mesh, Tarvo::MeshFormat format = 0)
        : model(mesh, format, "none.png")
    {
        take();
    }
    Tarvo::StdModel* operator->() { return &model; }
    Tarvo::StdModel model;
};

class StdModelGLTest : public meshtest::MeshGLTest {
protected:
    std::string triangle() { return scratch.write("mesh.obj", kTriangleObj); }
};

} // namespace

TEST_F(StdModelGLTest, UploadsProjectionTimesViewTimesModelAndTheOtherMatrices)
{
    const GLuint program = modelProgram();
    QuietModel model(triangle());
    const glm::mat4 projection = Tarvo::perspective(60.0f, 1.0f, 0.1f, 100.0f);
    const glm::mat4 view = Tarvo::lookAt(glm::vec3(1, 2, 5), glm::vec3(0), glm::vec3(0, 1, 0));
    const glm::mat4 modelMatrix = Tarvo::rotate(glm::mat4(1.0f), 30.0f, glm::vec3(0, 1, 0));
    model->setProjection(&projection);
    model->setView(view);
    model->setModelMatrix(modelMatrix);
    model->setShader(program);
    model->draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "MVP"), projection * view * modelMatrix));
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "M"), modelMatrix));
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "V"), view));
    GLint sampler = -1;
    glGetUniformiv(program, glGetUniformLocation(program, "myTextureSampler"), &sampler);
    EXPECT_EQ(sampler, 0);

    // Pre and post matrices sit around the model matrix.
    const glm::mat4 pre = Tarvo::translate(glm::mat4(1.0f), glm::vec3(0, 1, 0));
    const glm::mat4 post = Tarvo::scale(glm::mat4(1.0f), glm::vec3(2));
    model->setPreMatrix(pre);
    model->setPostMatrix(post);
    model->draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "MVP"),
                             projection * view * pre * modelMatrix * post));
    glDeleteProgram(program);
}

TEST_F(StdModelGLTest, ChangingTheCallersProjectionChangesTheNextDraw)
{
    const GLuint program = modelProgram();
    QuietModel model(triangle());
    glm::mat4 projection = Tarvo::perspective(45.0f, 1.0f, 0.1f, 10.0f);
    model->setProjection(&projection);
    model->setShader(program);
    model->draw(0.0);
    projection = Tarvo::perspective(90.0f, 2.0f, 1.0f, 50.0f);
    model->draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "MVP"), projection));
    glDeleteProgram(program);
}

TEST_F(StdModelGLTest, EveryModelDrawsWithTheProgramSetLast)
{
    const GLuint first = modelProgram();
    const GLuint second = modelProgram();
    QuietModel a(triangle());
    QuietModel b(triangle());
    const glm::mat4 projection(1.0f);
    const glm::mat4 moveA = Tarvo::translate(glm::mat4(1.0f), glm::vec3(1, 0, 0));
    const glm::mat4 moveB = Tarvo::translate(glm::mat4(1.0f), glm::vec3(0, 2, 0));
    a->setProjection(&projection);
    b->setProjection(&projection);
    a->setModelMatrix(moveA);
    b->setModelMatrix(moveB);
    a->setShader(first);
    b->setShader(second);
    EXPECT_EQ(Tarvo::Model::getCurrentProgram(), second);

    a->draw(0.0);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), second) << "a draws with the program b set";
    EXPECT_TRUE(matricesNear(uniformMatrix(second, "MVP"), moveA));
    EXPECT_TRUE(matricesNear(uniformMatrix(first, "MVP"), glm::mat4(0.0f)))
        << "the program a was given is never drawn with";
    b->draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(second, "MVP"), moveB));

    // Setting a's shader again makes its program the shared one.
    a->setShader(first);
    b->draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(first, "MVP"), moveB));
    glDeleteProgram(first);
    glDeleteProgram(second);
}

TEST_F(StdModelGLTest, DrawsItsTrianglesOnScreen)
{
    const GLuint program = modelProgram();
    QuietModel model(triangle());
    const glm::mat4 projection(1.0f);
    model->setProjection(&projection);
    model->setShader(program);
    clearWindow();
    model->draw(0.0);
    EXPECT_TRUE(isWhite(32, 28));
    EXPECT_FALSE(isWhite(2, 2));
    EXPECT_FALSE(isWhite(61, 61));
    EXPECT_EQ(model->vertexCount(), 3);

    // Moved off to the right by the model matrix, the centre stays black.
    model->setModelMatrix(Tarvo::translate(glm::mat4(1.0f), glm::vec3(0.9f, 0, 0)));
    clearWindow();
    model->draw(0.0);
    EXPECT_FALSE(isWhite(32, 28));
    EXPECT_TRUE(isWhite(60, 28));
    glDeleteProgram(program);
}

TEST_F(StdModelGLTest, BuffersHoldTheArraysAndAreDeletedWithTheModel)
{
    struct Exposed : Tarvo::StdModel {
        using Tarvo::StdModel::StdModel;
        GLuint buffer(int i) const
        {
            return i == 0 ? positionBuffer : i == 1 ? texCoordBuffer : normalBuffer;
        }
    };
    const std::string mesh = scratch.write("m.obj", kTriangleObj);
    const GLint expectedBytes[3] = {36, 24, 36};
    GLuint names[3];
    GLuint texture = 0;
    {
        CapturedOutput captured;
        Exposed model(mesh, 0, "none.png");
        captured.take();
        for (int i = 0; i < 3; ++i) {
            names[i] = model.buffer(i);
            glBindBuffer(GL_ARRAY_BUFFER, names[i]);
            GLint size = 0;
            glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
            EXPECT_EQ(size, expectedBytes[i]) << "buffer " << i;
        }
        glm::vec2 uvs[3];
        glBindBuffer(GL_ARRAY_BUFFER, names[1]);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof uvs, uvs);
        EXPECT_EQ(uvs[2], glm::vec2(0.5f, 1.0f));
        texture = model.getTexture();
        EXPECT_TRUE(glIsTexture(texture));
    }
    for (GLuint name : names)
        EXPECT_FALSE(glIsBuffer(name));
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(StdModelGLTest, EmptyMeshesDrawNothing)
{
    const GLuint program = modelProgram();
    const glm::mat4 projection(1.0f);
    const std::string ply = scratch.write("m.ply", "ply\nformat ascii 1.0\nend_header\n0 0 0\n");
    CapturedOutput captured;
    Tarvo::StdModel plyModel(ply, Tarvo::MeshFormatPly, "none.png");
    Tarvo::StdModel missing((scratch.path() / "missing.obj").string(), 0, "none.png");
    captured.take();
    for (Tarvo::StdModel* model : {&plyModel, &missing}) {
        EXPECT_EQ(model->vertexCount(), 0);
        model->setProjection(&projection);
        model->setShader(program);
        clearWindow();
        model->draw(0.0);
        EXPECT_FALSE(isWhite(32, 28));
    }
    glDeleteProgram(program);
}

TEST_F(StdModelGLTest, DrawingBeforeAProjectionIsSetSaysSoOnceAndDrawsNothing)
{
    const GLuint program = modelProgram();
    QuietModel model(triangle());
    model->setShader(program);
    clearWindow();
    CapturedOutput captured;
    model->draw(0.0);
    model->draw(0.0);
    EXPECT_EQ(captured.take(), "Model drawn before setProjection: nothing drawn\n");
    EXPECT_FALSE(isWhite(32, 28));
    glDeleteProgram(program);
}
