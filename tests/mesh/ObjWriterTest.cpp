// writeObjMesh: what it writes reads back through the OBJ reader as the very floats and
// indices that went in; meshes the reader would refuse, and places it cannot write, are
// refused with a reason and leave nothing behind.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "MeshTestFiles.h"
#include "mesh/ObjReader.h"
#include "mesh/ObjWriter.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace {

std::uint32_t bitsOf(float f)
{
    return std::bit_cast<std::uint32_t>(f);
}

// A float from random bits, any finite value: tiny, huge, subnormal, negative zero.
float randomFinite(std::mt19937& random)
{
    for (;;) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(f))
            return f;
    }
}

class ObjWriterTest : public testing::Test {
protected:
    Tarvo::ObjMesh readBack(const std::string& path)
    {
        const std::string text = testsupport::readFile(path);
        Tarvo::ObjMesh read;
        std::string failWord;
        EXPECT_TRUE(Tarvo::parseObjText(text.data(), text.size(), read, failWord)) << failWord;
        return read;
    }

    testsupport::ScratchDir scratch;
};

TEST_F(ObjWriterTest, EveryFloatAndIndexReadsBackToTheBit)
{
    std::mt19937 random(7);
    Tarvo::ObjMesh mesh;
    const float awkward[] = {0.0f, -0.0f, 0.1f, 1.0f / 3.0f, -2.5f, 1e-7f, 12345.678f,
                             FLT_MIN, FLT_TRUE_MIN, FLT_MAX, -FLT_MAX, 16777217.0f};
    for (float f : awkward)
        mesh.positions.push_back({f, -f, f * 0.5f});
    for (int i = 0; i < 3000; ++i) {
        mesh.positions.push_back({randomFinite(random), randomFinite(random), randomFinite(random)});
        mesh.texCoords.push_back({randomFinite(random), randomFinite(random)});
        mesh.normals.push_back({randomFinite(random), randomFinite(random), randomFinite(random)});
    }
    for (std::int32_t t = 0; t < 1000; ++t)
        for (std::int32_t k = 0; k < 3; ++k)
            mesh.corners.insert(mesh.corners.end(), {3 * t + k + 1, 3 * t + k + 1, 3000 - 3 * t - k});

    const std::string path = (scratch.path() / "exact.obj").string();
    std::string why;
    ASSERT_TRUE(Tarvo::writeObjMesh(path, mesh, "exact", why)) << why;
    const Tarvo::ObjMesh read = readBack(path);
    ASSERT_EQ(read.positions.size(), mesh.positions.size());
    ASSERT_EQ(read.texCoords.size(), mesh.texCoords.size());
    ASSERT_EQ(read.normals.size(), mesh.normals.size());
    for (std::size_t i = 0; i < mesh.positions.size(); ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(bitsOf(read.positions[i][c]), bitsOf(mesh.positions[i][c])) << i << " " << c;
    for (std::size_t i = 0; i < mesh.texCoords.size(); ++i) {
        ASSERT_EQ(bitsOf(read.texCoords[i].x), bitsOf(mesh.texCoords[i].x)) << i;
        ASSERT_EQ(bitsOf(read.texCoords[i].y), bitsOf(mesh.texCoords[i].y)) << i;
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(bitsOf(read.normals[i][c]), bitsOf(mesh.normals[i][c])) << i << " " << c;
    }
    EXPECT_TRUE(read.corners == mesh.corners);

    // The loader the show uses agrees, corner by corner.
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> texCoords;
    ASSERT_TRUE(Tarvo::loadOBJ(path.c_str(), positions, texCoords, normals));
    ASSERT_EQ(positions.size(), 3000u);
    EXPECT_EQ(bitsOf(positions[4].y), bitsOf(mesh.positions[4].y));
    EXPECT_EQ(bitsOf(normals[4].z), bitsOf(mesh.normals[2995].z));
}

TEST_F(ObjWriterTest, MeshesTheReaderWouldRefuseAreNotWritten)
{
    // Positions only: the reader's faces always carry texture and normal indices.
    Tarvo::ObjMesh bare;
    bare.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    bare.corners = {1, 1, 1, 2, 1, 1, 3, 1, 1};
    const std::string path = (scratch.path() / "bare.obj").string();
    std::string why;
    EXPECT_FALSE(Tarvo::writeObjMesh(path, bare, "bare", why));
    EXPECT_NE(why.find("texture coordinate"), std::string::npos) << why;
    EXPECT_FALSE(std::filesystem::exists(path));

    bare.texCoords = {{0, 0}};
    bare.normals = {{0, 0, 1}};
    bare.corners.pop_back();
    why.clear();
    EXPECT_FALSE(Tarvo::writeObjMesh(path, bare, "short", why));
    EXPECT_NE(why.find("incomplete"), std::string::npos) << why;

    // No triangles at all is a valid, empty mesh; a comment cannot start a record.
    Tarvo::ObjMesh empty;
    ASSERT_TRUE(Tarvo::writeObjMesh(path, empty, "two\nv 9 9 9", why)) << why;
    EXPECT_EQ(testsupport::readFile(path), "# two v 9 9 9\n");
    EXPECT_EQ(readBack(path).positions.size(), 0u);
}

TEST_F(ObjWriterTest, AFolderThatDoesNotExistIsReportedAndNothingIsLeft)
{
    Tarvo::ObjMesh empty;
    const std::filesystem::path missing = scratch.path() / "missing" / "m.obj";
    std::string why;
    EXPECT_FALSE(Tarvo::writeObjMesh(missing.string(), empty, "m", why));
    EXPECT_NE(why.find("No such file"), std::string::npos) << why;
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
}

} // namespace
