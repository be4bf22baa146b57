// The written model files: every mesh loads through the show's readers with the corner
// counts it was built with, every animation names part files that exist beside it, the
// generator writes the same bytes every time, and write failures are reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ModelTestUtil.h"
#include "mesh/BinaryMesh.h"
#include "mesh/NwaFile.h"
#include "mesh/ObjReader.h"
#include "geometry/MeshFiles.h"
#include "models/Bridge.h"
#include "models/Models.h"
#include "models/NwaWriter.h"
#include "models/PumpJack.h"
#include "models/SkyBox.h"
#include "models/Truck.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

using namespace assetgen;
using namespace assetgen::models;

namespace {

struct Loaded {
    bool read = false;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;
};

Loaded loadObj(const std::string& path)
{
    Loaded mesh;
    mesh.read = Tarvo::loadOBJ(path.c_str(), mesh.positions, mesh.texCoords, mesh.normals);
    return mesh;
}

Loaded loadBinary(const std::string& path)
{
    Loaded mesh;
    mesh.read = Tarvo::loadBinaryMesh(path.c_str(), mesh.positions, mesh.texCoords, mesh.normals);
    return mesh;
}

// The generated files, written once for all tests of this file.
class GeneratedModels : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch = new testsupport::ScratchDir;
        written = writeModels(scratch->path());
    }
    static void TearDownTestSuite()
    {
        delete scratch;
        scratch = nullptr;
    }
    static std::string file(const std::string& relative) { return scratch->file(relative); }

    static testsupport::ScratchDir* scratch;
    static bool written;
};

testsupport::ScratchDir* GeneratedModels::scratch = nullptr;
bool GeneratedModels::written = false;

// Loads a ".nwa" file and each part it names, as the animated model does; returns the
// parts' corner counts.
std::vector<std::size_t> loadAnimation(const std::string& nwaPath, Tarvo::NwaFile& nwa)
{
    std::ifstream in(nwaPath);
    std::string error;
    EXPECT_TRUE(Tarvo::parseNwa(in, nwa, error)) << nwaPath << ": " << error;
    std::vector<std::size_t> counts;
    for (const std::string& name : nwa.partNames) {
        const Loaded part = loadObj(Tarvo::resolvePartPath(nwaPath, name));
        EXPECT_TRUE(part.read) << name;
        counts.push_back(part.positions.size());
    }
    return counts;
}

} // namespace

TEST_F(GeneratedModels, EveryFileIsWritten)
{
    ASSERT_TRUE(written);
    for (const std::string& relative : modelFiles())
        EXPECT_TRUE(std::filesystem::is_regular_file(file(relative))) << relative;
}

TEST_F(GeneratedModels, BinaryMeshesLoadWithTheirCornersAndWithinBudget)
{
    const Loaded bridge = loadBinary(file(kBridgePath));
    ASSERT_TRUE(bridge.read);
    EXPECT_EQ(bridge.positions.size(), 3 * buildBridge().triangleCount());
    EXPECT_EQ(bridge.normals.size(), bridge.positions.size());
    EXPECT_LE(bridge.positions.size() / 3, 150000u);

    const Loaded truck = loadBinary(file(kTruckPath));
    ASSERT_TRUE(truck.read);
    EXPECT_EQ(truck.positions.size(), 3 * buildStaticTruck().triangleCount());
    EXPECT_LE(truck.positions.size() / 3, 30000u);
}

TEST_F(GeneratedModels, SkyBoxLoadsAsObjText)
{
    const Loaded sky = loadObj(file(kSkyBoxPath));
    ASSERT_TRUE(sky.read);
    EXPECT_EQ(sky.positions.size(), 3 * buildSkyBox().triangleCount());
    EXPECT_EQ(sky.texCoords.size(), sky.positions.size());
}

TEST_F(GeneratedModels, PumpJackAnimationLoadsEveryPart)
{
    Tarvo::NwaFile nwa;
    const std::vector<std::size_t> counts = loadAnimation(file(kPumpJackAnimationPath), nwa);
    ASSERT_EQ(nwa.partNames.size(), std::size(kPumpJackParts));
    const std::vector<Tarvo::ObjMesh> built = buildPumpJackParts(PumpJackGeometry{});
    std::size_t triangles = 0;
    for (std::size_t p = 0; p < counts.size(); ++p) {
        EXPECT_EQ(nwa.partNames[p], kPumpJackParts[p]);
        EXPECT_EQ(counts[p], 3 * built[p].triangleCount()) << nwa.partNames[p];
        triangles += counts[p] / 3;
    }
    EXPECT_LE(triangles, 20000u);
    // Every key the file promises is there: A / B + 1 per part.
    EXPECT_EQ(nwa.keys.size(), std::size_t(nwa.keysPerPart()) * nwa.partNames.size());
}

TEST_F(GeneratedModels, TruckAnimationLoadsEveryPart)
{
    Tarvo::NwaFile nwa;
    const std::vector<std::size_t> counts = loadAnimation(file(kTruckAnimationPath), nwa);
    ASSERT_EQ(counts.size(), 2 + std::size(kTruckAxles));
    EXPECT_EQ(counts[0], 3 * buildTractor().triangleCount());
    EXPECT_EQ(counts[1], 3 * buildTrailer().triangleCount());
    EXPECT_EQ(counts[2], 3 * buildFrontAxle().triangleCount());
    for (std::size_t p = 3; p < counts.size(); ++p)
        EXPECT_EQ(counts[p], 3 * buildDualAxle().triangleCount());
    EXPECT_EQ(nwa.keys.size(), std::size_t(nwa.keysPerPart()) * nwa.partNames.size());
}

TEST_F(GeneratedModels, GeneratorWritesTheSameBytesEveryTime)
{
    testsupport::ScratchDir again;
    ASSERT_TRUE(writeModels(again.path()));
    for (const std::string& relative : modelFiles()) {
        const std::string first = testsupport::readFile(file(relative));
        EXPECT_FALSE(first.empty()) << relative;
        EXPECT_TRUE(first == testsupport::readFile(again.file(relative))) << relative;
    }
}

TEST(ModelMeshFiles, ObjFilesGoIntoNewFoldersAndReadBackExactly)
{
    Tarvo::ObjMesh mesh;
    mesh.positions = {{0.0f, 0.0f, 0.0f}, {1.25f, -2.5f, 1e-7f}, {0.0f, 3.0f, 1.0f}};
    mesh.texCoords = {{0.25f, 0.75f}, {1.0f, 0.0f}};
    mesh.normals = {{0.0f, 0.0f, -1.0f}};
    mesh.corners = {1, 1, 1, 2, 2, 1, 3, 1, 1};
    testsupport::ScratchDir scratch;
    ASSERT_TRUE(writeObjFile(scratch.file("a/b/t.obj"), mesh, "test"));
    const Loaded back = loadObj(scratch.file("a/b/t.obj"));
    ASSERT_TRUE(back.read);
    ASSERT_EQ(back.positions.size(), 3u);
    EXPECT_EQ(back.positions[1], glm::vec3(1.25f, -2.5f, 1e-7f));
    EXPECT_EQ(back.texCoords[0], glm::vec2(0.25f, 0.75f)); // not flipped
    EXPECT_EQ(back.normals[2], glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(testsupport::readFile(scratch.file("a/b/t.obj")).substr(0, 20), "# test: 1 triangles\n");
}

TEST(ModelMeshFiles, WritesIntoAnUnwritablePlaceFail)
{
    testsupport::ScratchDir scratch;
    const std::string blocker = scratch.file("blocker");
    std::ofstream(blocker) << "a file where a directory should be";
    Tarvo::ObjMesh mesh;
    EXPECT_FALSE(writeObjFile(blocker + "/sky.obj", mesh, "x"));
    EXPECT_FALSE(writeBinaryMeshFile(blocker + "/x.bobj", mesh));
    EXPECT_FALSE(writeModels(blocker));
}

TEST(ModelNwaWriter, KeysPlaceAPartWhereThePostMatrixPutsIt)
{
    const Tarvo::AniKey key = poseKey({1.0f, 2.0f, 3.0f}, {0.0f, 0.0f, 90.0f});
    const glm::mat4 post = Tarvo::partPostMatrix(key);
    const glm::vec3 origin(post * glm::vec4(0, 0, 0, 1));
    EXPECT_NEAR(glm::length(origin - glm::vec3(1, 2, 3)), 0.0f, 1e-6f);
    // 90 degrees about z takes +x to +y, with the drawing's 57.30659 factor undone.
    const glm::vec3 x(post * glm::vec4(1, 0, 0, 0));
    EXPECT_NEAR(glm::length(x - glm::vec3(0, 1, 0)), 0.0f, 1e-6f);
}

TEST(ModelNwaWriter, IncompleteAnimationsAreRefused)
{
    PartAnimation a;
    std::string text, error;
    EXPECT_FALSE(formatNwa(a, text, error)); // no parts
    a.partNames = {"p.obj"};
    a.length = 4;
    a.spacing = 0;
    EXPECT_FALSE(formatNwa(a, text, error)); // no spacing
    a.spacing = 2;
    a.keys.assign(2, std::vector<Tarvo::AniKey>(1));
    EXPECT_FALSE(formatNwa(a, text, error)); // needs 3 keys
    a.keys.assign(3, std::vector<Tarvo::AniKey>(2));
    EXPECT_FALSE(formatNwa(a, text, error)); // two keys for one part
    a.keys.assign(3, std::vector<Tarvo::AniKey>(1));
    a.partNames = {"two words.obj"};
    EXPECT_FALSE(formatNwa(a, text, error));
    a.partNames = {"p.obj"};
    ASSERT_TRUE(formatNwa(a, text, error)) << error;
    EXPECT_EQ(text, "p.obj\n4 2\n0 0 0 0 0 0\n0 0 0 0 0 0\n0 0 0 0 0 0\n");
}
