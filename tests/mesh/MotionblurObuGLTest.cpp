// MotionblurObu on a real context: "oldMVP" is the matrix of this object's previous draw
// call (the current one on the first), whatever happened between the calls.
#include "MeshGLTestUtil.h"
#include "engine/Transform.h"
#include "mesh/MotionblurObu.h"
#include "support/CapturedOutput.h"

namespace {

using meshtest::matricesNear;
using meshtest::uniformMatrix;
using testsupport::CapturedOutput;

// The capture, a base, starts before the model is built and keeps its lines quiet.
class QuietBlurModel : private CapturedOutput {
public:
    explicit QuietBlurModel(const std::string& mesh) : model(mesh, 0, "none.png")
    {
        take();
    }
    Tarvo::MotionblurObu model;
};

class MotionblurObuGLTest : public meshtest::MeshGLTest {
protected:
    void SetUp() override
    {
        meshtest::MeshGLTest::SetUp();
        program = modelProgram();
        mesh = scratch.write("m.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                                      "f 1/1/1 2/1/1 3/1/1\n");
    }
    void TearDown() override { glDeleteProgram(program); }

    glm::mat4 at(float x) const { return Tarvo::translate(glm::mat4(1.0f), glm::vec3(x, 0, 0)); }

    GLuint program = 0;
    std::string mesh;
    const glm::mat4 projection = Tarvo::perspective(50.0f, 1.0f, 0.5f, 20.0f);
};

} // namespace

TEST_F(MotionblurObuGLTest, FirstDrawShowsNoMotion)
{
    QuietBlurModel blur(mesh);
    Tarvo::MotionblurObu& model = blur.model;
    EXPECT_FALSE(model.hasPreviousMVP());
    model.setProjection(&projection);
    model.setModelMatrix(at(1));
    model.setShader(program);
    model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection * at(1)));
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "MVP"), projection * at(1)));
    EXPECT_TRUE(model.hasPreviousMVP());
}

TEST_F(MotionblurObuGLTest, LaterDrawsGetThePreviousDrawsMatrix)
{
    QuietBlurModel blur(mesh);
    Tarvo::MotionblurObu& model = blur.model;
    model.setProjection(&projection);
    model.setShader(program);
    model.setModelMatrix(at(1));
    model.draw(0.0);
    model.setModelMatrix(at(2));
    model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection * at(1)));
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "MVP"), projection * at(2)));

    // Not drawn for several frames: the matrices of the skipped frames leave no trace.
    for (float x = 3; x < 8; ++x)
        model.setModelMatrix(at(x));
    model.setModelMatrix(at(9));
    model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection * at(2)));

    // Drawn twice in one frame: the second draw gets the first one's matrix.
    model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection * at(9)));
}

TEST_F(MotionblurObuGLTest, EachObjectKeepsItsOwnPreviousMatrix)
{
    QuietBlurModel a(mesh);
    QuietBlurModel b(mesh);
    for (Tarvo::MotionblurObu* model : {&a.model, &b.model}) {
        model->setProjection(&projection);
        model->setShader(program);
    }
    a.model.setModelMatrix(at(1));
    b.model.setModelMatrix(at(-1));
    a.model.draw(0.0);
    b.model.draw(0.0);
    a.model.setModelMatrix(at(4));
    a.model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection * at(1)));
    b.model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection * at(-1)));
}

TEST_F(MotionblurObuGLTest, ADrawThatCannotHappenLeavesNoPreviousMatrix)
{
    QuietBlurModel blur(mesh);
    Tarvo::MotionblurObu& model = blur.model;
    model.setShader(program);
    CapturedOutput captured;
    model.draw(0.0);
    EXPECT_EQ(captured.take(), "Model drawn before setProjection: nothing drawn\n");
    EXPECT_FALSE(model.hasPreviousMVP());
    model.setProjection(&projection);
    model.draw(0.0);
    EXPECT_TRUE(matricesNear(uniformMatrix(program, "oldMVP"), projection));
}
