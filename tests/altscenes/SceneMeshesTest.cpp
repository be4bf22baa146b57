// The alternative scenes' meshes as the asset generator writes them: readable by the OBJ
// reader, lit the way they face, and sized and placed for the scenes' cameras.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "AssetGen.h"
#include "scenes/SceneMeshes.h"
#include "mesh/ObjReader.h"
#include "mesh/ObjWriter.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"

namespace {

using namespace assetgen::scenes;
namespace fs = std::filesystem;

struct Bounds {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
};

Bounds boundsOf(const Tarvo::ObjMesh& mesh)
{
    Bounds b;
    for (const glm::vec3& p : mesh.positions) {
        b.min = glm::min(b.min, p);
        b.max = glm::max(b.max, p);
    }
    return b;
}

// The mesh as the show reads it back: through the text and the reader.
Tarvo::ObjMesh reread(const Tarvo::ObjMesh& mesh)
{
    const std::string text = Tarvo::objText(mesh, "test");
    Tarvo::ObjMesh read;
    std::string failWord;
    EXPECT_TRUE(Tarvo::parseObjText(text.data(), text.size(), read, failWord)) << failWord;
    return read;
}

void expectWellFormed(const Tarvo::ObjMesh& built, const char* name)
{
    SCOPED_TRACE(name);
    const Tarvo::ObjMesh mesh = reread(built);
    ASSERT_GT(mesh.triangleCount(), 0u);
    EXPECT_EQ(mesh.triangleCount(), built.triangleCount());
    EXPECT_EQ(mesh.positions.size(), built.positions.size());
    ASSERT_TRUE(Tarvo::checkObjMesh(name, mesh));

    for (const glm::vec3& n : mesh.normals)
        EXPECT_NEAR(glm::length(n), 1.0f, 1e-4f);
    for (const glm::vec2& t : mesh.texCoords)
        EXPECT_TRUE(std::isfinite(t.x) && std::isfinite(t.y));

    // Counter-clockwise fronts face the way the corners are lit.
    int against = 0;
    for (std::size_t i = 0; i < mesh.corners.size(); i += 9) {
        const std::int32_t* c = &mesh.corners[i];
        const glm::vec3 a = mesh.positions[c[0] - 1];
        const glm::vec3 b = mesh.positions[c[3] - 1];
        const glm::vec3 d = mesh.positions[c[6] - 1];
        const glm::vec3 shading = mesh.normals[c[2] - 1] + mesh.normals[c[5] - 1] + mesh.normals[c[8] - 1];
        if (glm::dot(glm::cross(b - a, d - a), shading) <= 0.0f)
            ++against;
    }
    EXPECT_EQ(against, 0);
}

} // namespace

TEST(SceneMeshesTest, EveryMeshReadsBackWithUnitNormalsAndFrontsFacingTheirNormals)
{
    expectWellFormed(buildNokka(), "nokka");
    expectWellFormed(buildRunko(), "runko");
    expectWellFormed(buildCube(), "cube");
    expectWellFormed(buildTerrain(), "terrain");
    expectWellFormed(buildSkybox(), "skybox");
}

TEST(SceneMeshesTest, FrameAndConeFitTheOcclusionCameraAndStandOnTheFloor)
{
    const Bounds frame = boundsOf(buildRunko());
    const Bounds cone = boundsOf(buildNokka());
    EXPECT_FLOAT_EQ(frame.min.y, floorBottom);
    EXPECT_FLOAT_EQ(cone.min.y, floorTop);
    // Seen from (4, 3, 3) with a 45 degree field of view, about 2.4 units around the origin
    // stay in the picture.
    for (const Bounds& b : {frame, cone}) {
        EXPECT_LE(glm::length(glm::vec2(b.max.x, b.max.z)), 2.0f);
        EXPECT_GE(b.min.x, -1.5f);
        EXPECT_LE(b.max.y, 1.5f);
    }
    // The cone stands inside the frame, between the pillars.
    EXPECT_LT(cone.max.x, 0.85f);
    EXPECT_GT(cone.min.x, -0.85f);
}

TEST(SceneMeshesTest, TerrainIsAFloorUnderTheFrameRisingIntoHills)
{
    const Tarvo::ObjMesh terrain = buildTerrain();
    const Bounds b = boundsOf(terrain);
    EXPECT_FLOAT_EQ(b.min.x, -40.0f);
    EXPECT_FLOAT_EQ(b.max.z, 40.0f);
    // Flat under the frame, just below its underside so the two never share a plane.
    for (float x : {-1.3f, 0.0f, 1.3f})
        for (float z : {-1.3f, 0.0f, 1.3f}) {
            EXPECT_LT(terrainHeight(x, z), floorBottom);
            EXPECT_GT(terrainHeight(x, z), floorBottom - 0.1f);
        }
    EXPECT_GT(b.max.y, 1.0f);
    for (const glm::vec3& p : terrain.positions)
        EXPECT_NEAR(p.y, terrainHeight(p.x, p.z), 1e-5f);
}

TEST(SceneMeshesTest, CubeIsTwoUnitsWideAndTheSkyBoxFacesInwards)
{
    const Bounds cube = boundsOf(buildCube());
    EXPECT_EQ(cube.min, glm::vec3(-1.0f));
    EXPECT_EQ(cube.max, glm::vec3(1.0f));

    const Tarvo::ObjMesh sky = buildSkybox();
    for (std::size_t i = 0; i < sky.corners.size(); i += 3)
        EXPECT_LT(glm::dot(sky.positions[sky.corners[i] - 1], sky.normals[sky.corners[i + 2] - 1]), 0.0f);
}

TEST(SceneMeshesTest, GeneratorWritesTheFiveFilesTheScenesOpen)
{
    const testsupport::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    ASSERT_TRUE(assetgen::generateSceneMeshes(dir.string()));
    for (const char* name : {"models/nokka.obj", "models/runko.obj", "cube.obj", "models/terrain.obj",
                             "models/skybox.obj"}) {
        std::vector<glm::vec3> positions;
        std::vector<glm::vec2> uvs;
        std::vector<glm::vec3> normals;
        EXPECT_TRUE(Tarvo::loadOBJ((dir / name).string().c_str(), positions, uvs, normals)) << name;
        EXPECT_FALSE(positions.empty()) << name;
        EXPECT_EQ(uvs.size(), positions.size()) << name;
        EXPECT_EQ(normals.size(), positions.size()) << name;
    }
}

TEST(SceneMeshesTest, GeneratorReportsAFolderItCannotWrite)
{
    // A regular file where the data folder should be.
    const testsupport::ScratchDir scratch;
    const std::string blocker = scratch.write("data", "not a folder");
    testsupport::CapturedOutput captured(testsupport::CapturedOutput::Stream::err);
    EXPECT_FALSE(assetgen::generateSceneMeshes(blocker));
    EXPECT_NE(captured.take().find("cannot write"), std::string::npos);
}
