// loadOBJ: the accepted subset, its messages and failures, the outputs it appends, and
// agreement with fscanf-based reading on tricky and random text.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <string>
#include <vector>

#include "MeshTestFiles.h"
#include "ScanfObjReference.h"
#include "mesh/ObjReader.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"

namespace {

using meshtest::Loaded;
using testsupport::CapturedOutput;

class ObjReaderTest : public testing::Test {
protected:
    Loaded load(const std::string& text)
    {
        return meshtest::loadMesh(Tarvo::loadOBJ, scratch.write("mesh.obj", text));
    }
    std::string path(const char* name) const { return (scratch.path() / name).string(); }

    testsupport::ScratchDir scratch;
};

const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                              "vt 0.25 0.75\nvt 1 0\nvt 0 1\n"
                              "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n";

} // namespace

TEST_F(ObjReaderTest, ReadsCornersInFileOrderWithTexCoordsAsStored)
{
    const Loaded mesh = load(std::string(kTriangle) + "f 1/1/1 2/2/2 3/3/3\nf 3/2/1 1/3/2 2/1/3\n");
    ASSERT_TRUE(mesh.ok);
    EXPECT_EQ(mesh.output, "Loading OBJ file " + path("mesh.obj") + "...\n");
    ASSERT_EQ(mesh.positions.size(), 6u);
    ASSERT_EQ(mesh.texCoords.size(), 6u);
    ASSERT_EQ(mesh.normals.size(), 6u);
    EXPECT_EQ(mesh.positions[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(mesh.texCoords[0], glm::vec2(0.25f, 0.75f)) << "the second coordinate is not flipped";
    EXPECT_EQ(mesh.normals[2], glm::vec3(1, 0, 0));
    EXPECT_EQ(mesh.positions[3], glm::vec3(0, 1, 0));
    EXPECT_EQ(mesh.texCoords[3], glm::vec2(1, 0));
    EXPECT_EQ(mesh.normals[3], glm::vec3(0, 0, 1));
    EXPECT_EQ(mesh.texCoords[4], glm::vec2(0, 1));
    EXPECT_EQ(mesh.normals[5], glm::vec3(1, 0, 0));
}

TEST_F(ObjReaderTest, SharedVerticesAreCopiedIntoEveryCorner)
{
    const Loaded mesh = load(std::string(kTriangle)
                             + "v 1 1 0\nf 1/1/1 2/2/2 3/3/3\nf 2/2/2 4/1/1 3/3/3\n");
    ASSERT_TRUE(mesh.ok);
    ASSERT_EQ(mesh.positions.size(), 6u);
    EXPECT_EQ(mesh.positions[1], mesh.positions[3]);
    EXPECT_EQ(mesh.positions[2], mesh.positions[5]);
    EXPECT_EQ(mesh.positions[4], glm::vec3(1, 1, 0));
}

TEST_F(ObjReaderTest, EmptyFilesAndFilesWithoutFacesGiveNothing)
{
    const std::string texts[] = {"", kTriangle, "# only\n\n"};
    for (const std::string& text : texts) {
        const Loaded mesh = load(text);
        EXPECT_TRUE(mesh.ok);
        EXPECT_TRUE(mesh.positions.empty());
        EXPECT_TRUE(mesh.texCoords.empty());
        EXPECT_TRUE(mesh.normals.empty());
    }
}

TEST_F(ObjReaderTest, MissingFileSaysSoAndLeavesOutputsAlone)
{
    Loaded result;
    result.positions.assign(2, glm::vec3(9));
    CapturedOutput captured;
    const std::string missing = path("missing.obj");
    result.ok = Tarvo::loadOBJ(missing.c_str(), result.positions, result.texCoords, result.normals);
    const std::string output = captured.take();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(output, "Loading OBJ file " + missing + "...\nImpossible to open the file!\n");
    EXPECT_EQ(result.positions.size(), 2u);
}

TEST_F(ObjReaderTest, FacesWithoutTexCoordsOrNormalsFailAtTheWordWhereMatchingStopped)
{
    struct Case {
        const char* face;
        const char* failWord;
    } cases[] = {
        {"f 1//1 2//2 3//3\n", "/1"},       // position, two slashes, normal
        {"f 1 2 3\n", "2"},                 // positions only
        {"f 1/1/1 2/2/2 3/3\n", ""},        // ends inside the last corner
        {"f 1/1/1 2/2/2 x/3/3\n", "x/3/3"},
        {"f 1/1/1 2/2\n3/3/3\n", "3/3/3"},
    };
    for (const Case& c : cases) {
        const Loaded mesh = load(std::string(kTriangle) + "f 1/1/1 2/2/2 3/3/3\n" + c.face);
        EXPECT_FALSE(mesh.ok) << c.face;
        EXPECT_EQ(mesh.output, "Loading OBJ file " + path("mesh.obj") + "...\n"
                                   "A failed attempt to parse " + path("mesh.obj")
                                   + ". Better luck next time.\nFail line: " + c.failWord + "\n")
            << c.face;
        EXPECT_TRUE(mesh.positions.empty()) << "nothing read before the failure is kept";
    }
}

TEST_F(ObjReaderTest, ExtraCornersAndNumbersAreReadAsKeywordsAndSkipped)
{
    const Loaded quad = load(std::string(kTriangle)
                             + "f 1/1/1 2/2/2 3/3/3 1/2/3 more\nf 3/3/3 2/2/2 1/1/1\n");
    ASSERT_TRUE(quad.ok);
    ASSERT_EQ(quad.positions.size(), 6u) << "a four-corner face keeps its first three corners";
    EXPECT_EQ(quad.positions[3], glm::vec3(0, 1, 0));

    const Loaded fourth =
        load("v 1 2 3 4\nv 5 6 7\nv 8 9 10\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n");
    ASSERT_TRUE(fourth.ok);
    EXPECT_EQ(fourth.positions[0], glm::vec3(1, 2, 3));
    EXPECT_EQ(fourth.positions[1], glm::vec3(5, 6, 7)) << "the fourth number is not a vertex";
}

TEST_F(ObjReaderTest, ForeignStatementsAreSkippedWholeLines)
{
    const Loaded mesh = load("# exported\no Cube\ng a b\ns off\nmtllib x.mtl\nusemtl m\n"
                             + std::string(kTriangle) + "f 1/1/1 2/2/2 3/3/3\r\n");
    EXPECT_TRUE(mesh.ok);
    EXPECT_EQ(mesh.positions.size(), 3u);
}

TEST_F(ObjReaderTest, IndicesOutsideTheirPoolAreRejected)
{
    const char* faces[] = {"f 0/1/1 2/2/2 3/3/3\n", "f 1/1/1 2/4/2 3/3/3\n",
                           "f -1/1/1 2/2/2 3/3/3\n", "f 1/1/1 2/2/2 3/3/99999999999\n",
                           "f 1/1/1 2/2/2 3/3/-2147483648\n"};
    for (const char* face : faces) {
        Loaded mesh;
        mesh.normals.assign(1, glm::vec3(4));
        CapturedOutput captured;
        const std::string file = scratch.write("bad.obj", std::string(kTriangle) + face);
        mesh.ok = Tarvo::loadOBJ(file.c_str(), mesh.positions, mesh.texCoords, mesh.normals);
        mesh.output = captured.take();
        EXPECT_FALSE(mesh.ok) << face;
        EXPECT_NE(mesh.output.find("Bad index in " + file), std::string::npos) << mesh.output;
        EXPECT_TRUE(mesh.positions.empty()) << face;
        EXPECT_EQ(mesh.normals.size(), 1u) << face;
    }
}

TEST_F(ObjReaderTest, IndicesTooWideForThirtyTwoBitsAreOutOfRangeAsWritten)
{
    // Kept to their low 32 bits, the first two would be the valid index 1.
    const std::pair<const char*, const char*> cases[] = {
        {"f 4294967297/1/1 2/2/2 3/3/3\n", "triangle 1, corner 1: position index 4294967297 is outside 1..3"},
        {"f 1/1/1 2/-4294967295/2 3/3/3\n",
         "triangle 1, corner 2: texture coordinate index -4294967295 is outside 1..3"},
        {"f 1/1/1 2/2/2 3/3/99999999999999999999\n",
         "triangle 1, corner 3: normal index 99999999999999999999 is outside 1..3"},
    };
    for (const auto& [face, reason] : cases) {
        const std::string text = std::string(kTriangle) + face;
        const Loaded loaded = load(text);
        EXPECT_FALSE(loaded.ok) << face;
        EXPECT_NE(loaded.output.find(reason), std::string::npos) << loaded.output;
        EXPECT_TRUE(loaded.positions.empty());

        // The whole-mesh path that obj2bobj takes rejects it the same way.
        Tarvo::ObjMesh mesh;
        CapturedOutput out;
        ASSERT_TRUE(Tarvo::readObjFile(scratch.write("wide.obj", text).c_str(), mesh));
        EXPECT_FALSE(Tarvo::checkObjMesh("wide.obj", mesh));
        const std::string said = out.take();
        EXPECT_NE(said.find(reason), std::string::npos) << said;
    }
}

TEST_F(ObjReaderTest, FacesMayUseVerticesThatComeLaterInTheFile)
{
    const Loaded mesh = load("v 5 5 5\nvt 0.5 0.5\nvn 1 0 0\n"
                             "f 1/1/1 1/1/1 1/1/1\n"
                             "f 1/1/1 2/2/2 4/2/3\n" // vertices 2 to 4 are still to come
                             "f 1/1/1 1/1/1 1/1/1\n"
                             "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.25 0.75\nvn 0 1 0\nvn 0 0 1\n");
    ASSERT_TRUE(mesh.ok) << mesh.output;
    ASSERT_EQ(mesh.positions.size(), 9u);
    EXPECT_EQ(mesh.positions[2], glm::vec3(5));
    EXPECT_EQ(mesh.positions[4], glm::vec3(0, 0, 0));
    EXPECT_EQ(mesh.positions[5], glm::vec3(0, 1, 0));
    EXPECT_EQ(mesh.texCoords[5], glm::vec2(0.25f, 0.75f));
    EXPECT_EQ(mesh.normals[5], glm::vec3(0, 0, 1));
    EXPECT_EQ(mesh.positions[6], glm::vec3(5));
}

TEST_F(ObjReaderTest, TheFirstBadIndexInTheFileIsTheOneReported)
{
    // Triangle 1 points past the end of the file, triangle 2 at index 0.
    const Loaded mesh =
        load("v 1 1 1\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1/1 7/1/1\nf 0/1/1 1/1/1 1/1/1\n");
    EXPECT_FALSE(mesh.ok);
    EXPECT_NE(mesh.output.find("triangle 1, corner 3: position index 7 is outside 1..1"),
              std::string::npos)
        << mesh.output;
    EXPECT_TRUE(mesh.positions.empty());
}

TEST_F(ObjReaderTest, OutputsAreAppendedToNotCleared)
{
    Loaded mesh;
    mesh.positions.assign(1, glm::vec3(7));
    mesh.texCoords.assign(1, glm::vec2(7));
    mesh.normals.assign(1, glm::vec3(7));
    const std::string file =
        scratch.write("a.obj", std::string(kTriangle) + "f 1/1/1 2/2/2 3/3/3\n");
    CapturedOutput captured;
    ASSERT_TRUE(Tarvo::loadOBJ(file.c_str(), mesh.positions, mesh.texCoords, mesh.normals));
    captured.take();
    ASSERT_EQ(mesh.positions.size(), 4u);
    EXPECT_EQ(mesh.positions[0], glm::vec3(7));
    EXPECT_EQ(mesh.positions[1], glm::vec3(0, 0, 0));
}

TEST(ObjParseTest, AgreesWithFscanfOnOddText)
{
    const char withZeros[] = "v\0x 1 2 3\nf\0 1/1/1 1/1/1 1/1/1\n";
    const std::string cases[] = {
        "v\n1\n2\n3\nvt 1 2\nvn 1e 2e+ 3\nf 1/1/1\n1/1/1\n1/1/1",
        "v 1 2 vt 3 4\nvn inf nan -0x1p3\n",
        "v 1,5 2 3\nf 1/1/1 1/1/1 1/1/1 # trailing\n",
        std::string(withZeros, sizeof withZeros - 1),
        std::string(200, 'k') + " v 1 2 3\n",
        "g " + std::string(1500, 'x') + " v 4 5 6\n",
        "f 1/1/1 2/2/2 3/3/3",
        "f 1/1/1 2/2/2 3/3/3\n" + std::string(600, 'w') + "\n",
        "f +1/-0/00 2/2/2 3/3/3\n",
        "f 1/1/1 2/2/2 3/3/-\n",
        "f 4294967297/1/1 -4294967297/2/2 3/3/99999999999999999999\n",
        "v 0x 1 2\nv - 1 2\nv 1e+x 2 3\n",
    };
    for (const std::string& text : cases)
        EXPECT_EQ(meshtest::compareWithReference(text), "") << text;
}

TEST(ObjParseTest, AByteOrderMarkAtTheStartIsSkippedAndNowhereElse)
{
    Tarvo::ObjMesh mesh;
    std::string failWord;
    const std::string marked = "\xEF\xBB\xBFv 1 2 3\nv 4 5 6\n";
    ASSERT_TRUE(Tarvo::parseObjText(marked.data(), marked.size(), mesh, failWord));
    ASSERT_EQ(mesh.positions.size(), 2u);
    EXPECT_EQ(mesh.positions[0], glm::vec3(1, 2, 3));
    // A mark further on is an unknown word, as it always was; an empty file with only a
    // mark is empty.
    for (const std::string text : {"\xEF\xBB\xBFv 1 2 3\n\xEF\xBB\xBFv 4 5 6\n", "\xEF\xBB\xBF", "\xEF\xBB"}) {
        Tarvo::ObjMesh parsed;
        bool accepted = false;
        EXPECT_EQ(meshtest::compareWithReference(text, parsed, accepted), "") << text;
        EXPECT_TRUE(accepted);
        EXPECT_EQ(parsed.positions.size(), text.size() > 20 ? 1u : 0u) << text;
    }
}

TEST(ObjParseTest, AgreesWithFscanfOnFaceCornersOfEveryShape)
{
    // Corners the fast path must take whole or leave to the general path.
    const char* const corners[] = {"1/2/3", "12345678/1/1", "1/12345678/1", "1/1/12345678", "123456789/1/1",
                                   "1/123456789/1", "1/1/123456789", "1234/12345/1234567", "1/2/", "1/2/ 3",
                                   "1//3", "/1/2", "1/2/3/4", "1a2/3/4", "1/2a3/4", "1/2/3a", "+1/2/3",
                                   "1/-2/3", "1/2/+3", "1 /2/3", "00000001/2/3", "1.5/2/3", "1/2.5/3",
                                   "12345678/12345678/12345678", "1234567/1234567/123456789"};
    for (const char* corner : corners) {
        const std::string face = std::string("f ") + corner + " " + corner + " " + corner;
        const std::string text = "v 1 2 3\nvt 1 2\nvn 1 2 3\n" + face + "\n" + face + "\nv 4 5 6 7 8 9 10 11\n";
        EXPECT_EQ(meshtest::compareWithReference(text), "") << text;
    }
}

TEST(ObjParseTest, AgreesWithFscanfOnRandomObjLikeText)
{
    const char* const pieces[] = {"v", "vt", "vn", "f", "#", "g", "o", " ", " ", "  ", "\n", "\n",
                                  "\r\n", "\t", "/", "//", "1", "2", "3", "-1", "0", "1.5",
                                  "-0.25", "1e3", "1e", ".", "x", "inf", "nan", "0x1p2", "1/1/1",
                                  "2/2/2", "3/3/3", "1//1", "1/2", "99999999999", "4294967297", "\0",
                                  "1234567/7654321/1", "12345678/1/1", "-3.500000", "0.1234567",
                                  "12345.678", "1234567.8", "123456789", "12/34/56", "1/ 2/3",
                                  "1/2 /3", "1/2/3/4", "+1/2/3", "12345678/1/123456789"};
    std::mt19937 random(99);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 40);
        for (int p = 0; p < count; ++p) {
            const char* piece = pieces[random() % (sizeof pieces / sizeof *pieces)];
            text += *piece ? std::string(piece) : std::string(1, '\0');
        }
        ASSERT_EQ(meshtest::compareWithReference(text), "") << text;
    }
}
