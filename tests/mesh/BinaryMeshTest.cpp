// loadBinaryMesh: the count line, record rounding, corners in file order, and the
// rejection of indices outside their pools, of truncated files and of counts larger
// than the file, with the caller's arrays left alone.
#include <gtest/gtest.h>

#include <vector>

#include "MeshTestFiles.h"
#include "mesh/BinaryMesh.h"
#include "mesh/ObjReader.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"

namespace {

using meshtest::BobjBytes;
using meshtest::Loaded;
using testsupport::CapturedOutput;

class BinaryMeshTest : public testing::Test {
protected:
    Loaded load(const std::string& bytes, Loaded into = {})
    {
        return meshtest::loadMesh(Tarvo::loadBinaryMesh, scratch.write("mesh.bobj", bytes), into);
    }

    testsupport::ScratchDir scratch;
};

// Three positions, coordinates and normals and the triangle 1 1 1 2 2 2 3 3 3.
BobjBytes oneTriangle()
{
    BobjBytes bytes;
    bytes.counts(9, 6, 9, 9)
        .floats({1, 2, 3, 4, 5, 6, 7, 8, 9})
        .floats({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f})
        .floats({0, 0, 1, 0, 1, 0, 1, 0, 0})
        .indices({1, 1, 1, 2, 2, 2, 3, 3, 3});
    return bytes;
}

} // namespace

TEST_F(BinaryMeshTest, SixteenZeroBytesPrintZeroCountsAndGiveNoCorners)
{
    const Loaded mesh = load(std::string(16, '\0'));
    EXPECT_TRUE(mesh.ok);
    EXPECT_EQ(mesh.output, "0, 0, 0, 0\n");
    EXPECT_TRUE(mesh.positions.empty());
}

TEST_F(BinaryMeshTest, OneTriangleGivesItsThreeCornersInOrder)
{
    const Loaded mesh = load(oneTriangle().str());
    ASSERT_TRUE(mesh.ok);
    EXPECT_EQ(mesh.output, "9, 6, 9, 9\n");
    ASSERT_EQ(mesh.positions.size(), 3u);
    EXPECT_EQ(mesh.positions[0], glm::vec3(1, 2, 3));
    EXPECT_EQ(mesh.positions[2], glm::vec3(7, 8, 9));
    EXPECT_EQ(mesh.texCoords[1], glm::vec2(0.3f, 0.4f)) << "coordinates are used as stored";
    EXPECT_EQ(mesh.normals[0], glm::vec3(0, 0, 1));
    EXPECT_EQ(mesh.normals[2], glm::vec3(1, 0, 0));
}

TEST_F(BinaryMeshTest, CountsRoundDownToWholeRecords)
{
    // Np = 10 holds three positions; the tenth float is not in the file.
    BobjBytes bytes;
    bytes.counts(10, 3, 4, 10)
        .floats({1, 2, 3, 4, 5, 6, 7, 8, 9})
        .floats({0.5f, 0.25f})
        .floats({0, 1, 0})
        .indices({3, 1, 1, 2, 1, 1, 1, 1, 1});
    const Loaded mesh = load(bytes.str());
    ASSERT_TRUE(mesh.ok);
    EXPECT_EQ(mesh.output, "10, 3, 4, 10\n");
    ASSERT_EQ(mesh.positions.size(), 3u);
    EXPECT_EQ(mesh.positions[0], glm::vec3(7, 8, 9));
    EXPECT_EQ(mesh.texCoords[2], glm::vec2(0.5f, 0.25f));
    EXPECT_EQ(mesh.normals[1], glm::vec3(0, 1, 0));
}

TEST_F(BinaryMeshTest, IndicesOutsideTheirPoolsAreRejected)
{
    const std::initializer_list<std::uint32_t> triangles[] = {
        {0, 1, 1, 2, 2, 2, 3, 3, 3},
        {1, 1, 1, 2, 4, 2, 3, 3, 3},
        {1, 1, 1, 2, 2, 2, 3, 3, 0xffffffffu}};
    for (const auto& triangle : triangles) {
        BobjBytes bytes;
        bytes.counts(9, 6, 9, 18)
            .floats({1, 2, 3, 4, 5, 6, 7, 8, 9})
            .floats({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f})
            .floats({0, 0, 1, 0, 1, 0, 1, 0, 0})
            .indices({1, 1, 1, 2, 2, 2, 3, 3, 3})
            .indices(triangle);
        Loaded before;
        before.positions.assign(1, glm::vec3(5));
        const Loaded mesh = load(bytes.str(), before);
        EXPECT_FALSE(mesh.ok);
        EXPECT_NE(mesh.output.find("Bad index in "), std::string::npos) << mesh.output;
        EXPECT_EQ(mesh.positions.size(), 1u) << "the first, good triangle is taken back";
        EXPECT_TRUE(mesh.texCoords.empty());
    }
}

TEST_F(BinaryMeshTest, TruncatedFilesAndOversizedCountsAreRejectedWithoutReadingPastTheFile)
{
    const std::string whole = oneTriangle().str();
    // Four or more missing bytes leave at least one index 0.
    for (std::size_t cut : {4u, 20u, 36u, 80u}) {
        const Loaded mesh = load(whole.substr(0, whole.size() - cut));
        EXPECT_FALSE(mesh.ok) << cut;
        EXPECT_NE(mesh.output.find("is truncated"), std::string::npos) << mesh.output;
        EXPECT_TRUE(mesh.positions.empty());
    }
    BobjBytes huge;
    huge.counts(0xffffffffu, 0xffffffffu, 0xffffffffu, 0xffffffffu).floats({1, 2, 3});
    const Loaded mesh = load(huge.str());
    EXPECT_FALSE(mesh.ok);
    EXPECT_EQ(mesh.output.substr(0, mesh.output.find('\n')),
              "4294967295, 4294967295, 4294967295, 4294967295");
}

TEST_F(BinaryMeshTest, MissingBytesReadAsZeros)
{
    // The last index is 3 = 03 00 00 00: its zero bytes need not be in the file.
    const std::string whole = oneTriangle().str();
    const Loaded mesh = load(whole.substr(0, whole.size() - 3));
    EXPECT_TRUE(mesh.ok);
    EXPECT_EQ(mesh.normals.size(), 3u);

    // A short header reads its missing counts as 0, and no triangles means no data.
    const Loaded shortHeader = load(std::string("\x09\x00\x00\x00\x06", 5));
    EXPECT_TRUE(shortHeader.ok);
    EXPECT_EQ(shortHeader.output, "9, 6, 0, 0\n");
    EXPECT_TRUE(shortHeader.positions.empty());
}

TEST_F(BinaryMeshTest, MissingFileIsReportedAndGivesFalse)
{
    const std::string missing = scratch.file("none.bobj");
    const Loaded mesh = meshtest::loadMesh(Tarvo::loadBinaryMesh, missing);
    EXPECT_FALSE(mesh.ok);
    EXPECT_EQ(mesh.output, "Cannot open binary mesh " + missing + "\n");
}

TEST_F(BinaryMeshTest, WrittenMeshesReadBackAsTheirObjText)
{
    const std::string obj = scratch.write(
        "m.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n"
                 "f 1/1/1 2/2/1 3/1/1\nf 2/2/1 4/1/1 3/2/1\n");
    Tarvo::ObjMesh mesh;
    CapturedOutput captured;
    ASSERT_TRUE(Tarvo::readObjFile(obj.c_str(), mesh));
    std::vector<glm::vec3> objPositions, objNormals;
    std::vector<glm::vec2> objTexCoords;
    ASSERT_TRUE(Tarvo::expandObjMesh(obj.c_str(), mesh, objPositions, objTexCoords, objNormals));
    const std::string bobj = (scratch.path() / "m.bobj").string();
    ASSERT_TRUE(Tarvo::writeBinaryMesh(bobj.c_str(), mesh));
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> texCoords;
    ASSERT_TRUE(Tarvo::loadBinaryMesh(bobj.c_str(), positions, texCoords, normals));
    EXPECT_EQ(captured.take().find("12, 4, 3, 18\n") != std::string::npos, true);
    EXPECT_EQ(positions, objPositions);
    EXPECT_EQ(texCoords, objTexCoords);
    EXPECT_EQ(normals, objNormals);
}
