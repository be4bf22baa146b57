// Model without GL: reader choice by MeshFormat, the matrix chain and its defaults, and
// the caller-owned projection. Drawing and uploads are covered by the GL tests.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "MeshTestFiles.h"
#include "mesh/Model.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"

namespace {

using testsupport::CapturedOutput;

// The smallest concrete model: reads like any other, draws nothing.
class ProbeModel : public Tarvo::Model {
public:
    using Tarvo::Model::Model;
    void draw(double) override {}
};

const char* const kObj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n";

} // namespace

TEST(ModelTest, FormatSelectsTheReader)
{
    testsupport::ScratchDir scratch;
    const std::string obj = scratch.write("m.obj", kObj);
    const std::string ply = scratch.write("m.ply", "ply\nformat ascii 1.0\nend_header\n");
    CapturedOutput captured;
    const ProbeModel asObj(obj, Tarvo::MeshFormatObj);
    const ProbeModel seven(obj, 7);
    const ProbeModel negative(obj, -3);
    const ProbeModel asPly(ply, Tarvo::MeshFormatPly);
    const ProbeModel objAsBinary(obj, Tarvo::MeshFormatBinary);
    const std::string output = captured.take();
    EXPECT_EQ(asObj.getPositions().size(), 3u);
    EXPECT_EQ(seven.getPositions().size(), 3u) << "format 7 reads OBJ text";
    EXPECT_EQ(negative.getNormals().size(), 3u);
    EXPECT_TRUE(asPly.getPositions().empty()) << "PLY geometry is not read";
    EXPECT_TRUE(objAsBinary.getPositions().empty());
    // Text read as binary: its first bytes are absurd counts, rejected as truncated.
    EXPECT_NE(output.find("is truncated"), std::string::npos) << output;
}

TEST(ModelTest, MissingMeshGivesAnEmptyModel)
{
    CapturedOutput captured;
    const ProbeModel model("/nonexistent/mesh.obj", 0);
    EXPECT_EQ(captured.take(),
              "Loading OBJ file /nonexistent/mesh.obj...\nImpossible to open the file!\n");
    EXPECT_TRUE(model.getPositions().empty());
    EXPECT_TRUE(model.getTexCoords().empty());
}

TEST(ModelTest, MatricesStartAsIdentityAndChainProjectionViewPreModelPost)
{
    ProbeModel model;
    EXPECT_EQ(model.getProjection(), nullptr);
    EXPECT_EQ(model.getView(), glm::mat4(1.0f));
    EXPECT_EQ(model.getPostMatrix(), glm::mat4(1.0f));
    EXPECT_EQ(model.computeMVP(), glm::mat4(1.0f)) << "no projection: identity stands in";

    const glm::mat4 projection = glm::perspective(1.0f, 1.5f, 0.1f, 100.0f);
    const glm::mat4 view = glm::lookAt(glm::vec3(1, 2, 3), glm::vec3(0), glm::vec3(0, 1, 0));
    const glm::mat4 pre = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -4));
    const glm::mat4 modelMatrix = glm::rotate(glm::mat4(1.0f), 0.7f, glm::vec3(0, 1, 0));
    const glm::mat4 post = glm::scale(glm::mat4(1.0f), glm::vec3(2, 3, 4));
    model.setProjection(&projection);
    model.setView(view);
    EXPECT_EQ(model.computeMVP(), projection * view) << "default pre, model and post";
    model.setPreMatrix(pre);
    model.setModelMatrix(modelMatrix);
    model.setPostMatrix(post);
    EXPECT_EQ(model.computeMVP(), projection * view * pre * modelMatrix * post);
    // The post matrix acts on a vertex first: scaling happens before the translation.
    const glm::vec4 vertex = pre * modelMatrix * post * glm::vec4(1, 0, 0, 1);
    EXPECT_NEAR(vertex.z, -4.0f - 2.0f * std::sin(0.7f), 1e-5f);
}

TEST(ModelTest, ProjectionIsReadAtEveryUse)
{
    ProbeModel model;
    glm::mat4 projection(1.0f);
    model.setProjection(&projection);
    projection[0][0] = 5.0f;
    EXPECT_EQ(model.getProjection(), &projection);
    EXPECT_EQ(model.computeMVP()[0][0], 5.0f);
}
