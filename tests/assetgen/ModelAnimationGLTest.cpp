// The generated animations drawn by the show's animated model: every part file loads,
// and the pump jack's walking beam appears on screen where the solved linkage puts it,
// nodding between crank positions. This checks the whole chain from the written keys
// through the model's post matrices to the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "ModelTestUtil.h"
#include "mesh/AniModel.h"
#include "models/Models.h"
#include "models/PumpJack.h"
#include "models/PumpJackLinkage.h"
#include "models/Truck.h"
#include "support/GLTestContext.h"
#include "support/ScratchDir.h"

using namespace assetgen::models;

namespace {

constexpr int kSize = 128;
// The orthographic window onto the jack's side (x, y in metres).
constexpr float kLeft = -6.0f, kRight = 5.0f, kBottom = -1.0f, kTop = 10.0f;

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// Draws opaque white; declares every name a model looks up.
GLuint whiteProgram()
{
    const char* vs = "#version 330 core\n"
                     "in vec3 vertexPos; in vec2 vertexUV; in vec3 vertexnormal;\n"
                     "uniform mat4 MVP; uniform mat4 M; uniform mat4 V; uniform mat4 oldMVP;\n"
                     "out vec2 uv;\n"
                     "void main() { uv = vertexUV + vertexnormal.xy * 0.0;\n"
                     "  gl_Position = MVP * vec4(vertexPos, 1.0); }\n";
    const char* fs = "#version 330 core\n"
                     "in vec2 uv; uniform sampler2D myTextureSampler; out vec4 color;\n"
                     "void main() { color = vec4(1.0) + 0.0 * texture(myTextureSampler, uv); }\n";
    const GLuint program = glCreateProgram();
    const GLuint shaders[] = {compile(GL_VERTEX_SHADER, vs), compile(GL_FRAGMENT_SHADER, fs)};
    for (const GLuint shader : shaders)
        glAttachShader(program, shader);
    glLinkProgram(program);
    // Attached shaders live on with the program; deleting them now frees them with it.
    for (const GLuint shader : shaders)
        glDeleteShader(shader);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    EXPECT_TRUE(linked);
    return program;
}

// Window row (0 at the bottom) of a height in metres, and column of an x.
int rowOf(float y) { return static_cast<int>(std::floor((y - kBottom) / (kTop - kBottom) * kSize)); }
int columnOf(float x) { return static_cast<int>(std::floor((x - kLeft) / (kRight - kLeft) * kSize)); }

// The highest lit row of a window column.
int topOfColumn(int column)
{
    const std::vector<std::uint8_t> pixels = testsupport::readPixels(0, 0, kSize, kSize);
    for (int row = kSize - 1; row >= 0; --row)
        if (pixels[4 * (row * kSize + column)] > 128)
            return row;
    return -1;
}

class ModelAnimationGL : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT(kSize, kSize);
        ASSERT_TRUE(writeModels(scratch.path()));
    }
    testsupport::ScratchDir scratch;
};

} // namespace

TEST_F(ModelAnimationGL, EveryPartOfBothAnimationsLoads)
{
    Tarvo::AniModel jack(scratch.file(kPumpJackAnimationPath), "./data/crack.png");
    const std::vector<Tarvo::ObjMesh> jackParts = buildPumpJackParts(PumpJackGeometry{});
    ASSERT_EQ(jack.getParts().size(), jackParts.size());
    for (std::size_t p = 0; p < jackParts.size(); ++p)
        EXPECT_EQ(jack.getParts()[p].mesh->getPositions().size(), 3 * jackParts[p].triangleCount())
            << kPumpJackParts[p];

    Tarvo::AniModel truck(scratch.file(kTruckAnimationPath), "./data/crack.png");
    ASSERT_EQ(truck.getParts().size(), 2 + std::size(kTruckAxles));
    EXPECT_EQ(truck.getParts()[0].mesh->getPositions().size(), 3 * buildTractor().triangleCount());
    EXPECT_EQ(truck.getParts()[3].mesh->getPositions().size(), 3 * buildDualAxle().triangleCount());
}

TEST_F(ModelAnimationGL, TheBeamIsDrawnWhereTheLinkagePutsIt)
{
    Tarvo::AniModel jack(scratch.file(kPumpJackAnimationPath), "./data/crack.png");
    const glm::mat4 projection = glm::ortho(kLeft, kRight, kBottom, kTop, -10.0f, 10.0f);
    jack.setProjection(&projection);
    jack.setView(glm::mat4(1.0f));
    jack.setModelMatrix(glm::mat4(1.0f));
    const GLuint program = whiteProgram();
    jack.setShader(program);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, kSize, kSize);

    // Over the beam, between the samson post and the horse head, the top of the picture
    // is the beam's top flange: 0.72 m above the pivot, turned by the beam's angle.
    const PumpJackGeometry g;
    const float x = 1.0f;
    int lowest = kSize, highest = -1;
    for (double frame : {0.0, 8.0, 16.0, 24.0}) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        jack.draw(frame);
        glFinish();
        const float crank = static_cast<float>(frame / kPumpJackTimePerRevolution * 2.0 * std::numbers::pi);
        const float beam = solvePumpJack(g, crank).beamAngle;
        // The flange's line, 0.72 m above the pivot in the beam's frame, met at x.
        const float top = g.pivot.y + (x - g.pivot.x) * std::tan(beam) + 0.72f / std::cos(beam);
        const int row = topOfColumn(columnOf(x));
        EXPECT_NEAR(row, rowOf(top), 2) << "frame " << frame;
        lowest = std::min(lowest, row);
        highest = std::max(highest, row);
        // The base is drawn standing on y = 0.
        EXPECT_GE(topOfColumn(columnOf(-1.2f)), rowOf(0.2f));
    }
    // A quarter turn of the crank nods the beam visibly.
    EXPECT_GE(highest - lowest, 5);
    glDeleteProgram(program);
}
