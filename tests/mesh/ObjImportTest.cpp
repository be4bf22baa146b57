// meshtool import: OBJ files as modelling programs write them come out as triangles with
// every index in place, normals computed where missing, files the engine's own readers
// load, the show's own models unchanged, and no file at all from bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "MeshTestFiles.h"
#include "support/ScratchDir.h"
#include "support/Temporaries.h"
#include "ObjImport.h"
#include "mesh/BinaryMesh.h"
#include "mesh/ObjReader.h"

namespace {

struct Corners {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<glm::vec3> normals;
};

Tarvo::ObjMesh imported(const std::string& text)
{
    Tarvo::ObjMesh mesh;
    meshtool::ImportReport report;
    std::string why;
    EXPECT_TRUE(meshtool::importObjText(text, "test.obj", mesh, report, why)) << why;
    return mesh;
}

// The corners the engine would draw, as its OBJ reader expands them.
Corners expanded(const Tarvo::ObjMesh& mesh)
{
    Corners corners;
    EXPECT_TRUE(Tarvo::expandObjMesh("test.obj", mesh, corners.positions, corners.texCoords, corners.normals));
    return corners;
}

meshtest::ToolRun import(const std::string& in, const std::string& out)
{
    return meshtest::runCommand(std::string(MESHTOOL_PATH) + " import '" + in + "' '" + out + "' 2>&1");
}

// Eight corners of the cube from -1 to 1, its faces counter-clockwise seen from outside.
const char* const cubeOfQuads = "mtllib cube.mtl\no cube\ng sides\nusemtl red\n"
                                "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                                "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                                "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\ng top\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

TEST(ObjImportTest, PolygonsFanIntoTrianglesWithRelativeIndicesResolvedWhereTheyStand)
{
    const Corners c = expanded(imported("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0.5 0.25\n"
                                        "f 1 2 3 4\n"                        // quad, positions only
                                        "v 2 0 0\nv 3 0 0\nv 3 1 0\nv 2.5 2 0\nv 2 1 0\n"
                                        "f -5 -4 -3 -2 -1\n"                 // pentagon, relative
                                        "f 1/1 2/1 3/1\n"));                  // position/texture
    ASSERT_EQ(c.positions.size(), 3u * (2 + 3 + 1));
    const std::vector<glm::vec3> expected = {
        { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 },
        { 2, 0, 0 }, { 3, 0, 0 }, { 3, 1, 0 }, { 2, 0, 0 }, { 3, 1, 0 }, { 2.5f, 2, 0 },
        { 2, 0, 0 }, { 2.5f, 2, 0 }, { 2, 1, 0 }, { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 },
    };
    EXPECT_EQ(c.positions, expected);
    for (std::size_t i = 0; i < 15; ++i)
        EXPECT_EQ(c.texCoords[i], glm::vec2(0.0f)) << "corner " << i << " had no texture coordinates";
    for (std::size_t i = 15; i < 18; ++i)
        EXPECT_EQ(c.texCoords[i], glm::vec2(0.5f, 0.25f)) << "corner " << i;
    for (const glm::vec3& n : c.normals)
        EXPECT_NEAR(glm::distance(n, glm::vec3(0, 0, 1)), 0.0f, 1e-6f) << "flat faces facing +z";
}

TEST(ObjImportTest, GivenNormalsAreKeptAndMissingOnesAreUnitAndPointOutwards)
{
    const Corners cube = expanded(imported(cubeOfQuads));
    ASSERT_EQ(cube.positions.size(), 36u);
    for (std::size_t i = 0; i < cube.positions.size(); ++i) {
        // Smooth over the corner: the three faces around it weigh the same however each
        // quad was split, so the normal is the corner's own diagonal.
        EXPECT_NEAR(glm::length(cube.normals[i]), 1.0f, 1e-6f);
        EXPECT_NEAR(glm::dot(cube.normals[i], glm::normalize(cube.positions[i])), 1.0f, 1e-6f) << "corner " << i;
    }

    // "f v//n" keeps the file's normal as written; a face with no area still gets a
    // finite unit normal.
    const Corners mixed = expanded(imported("v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0.6 0.8\n"
                                            "f 1//1 2//1 3//1\nv 5 5 5\nf 4 4 4\n"));
    ASSERT_EQ(mixed.normals.size(), 6u);
    EXPECT_EQ(mixed.normals[1], glm::vec3(0.0f, 0.6f, 0.8f));
    EXPECT_EQ(mixed.normals[4], glm::vec3(0.0f, 1.0f, 0.0f));
}

TEST(ObjImportTest, OutputLoadsThroughTheEnginesReadersAsBothFormats)
{
    testsupport::ScratchDir scratch;
    const std::string in = scratch.write("cube.obj", cubeOfQuads);
    for (const std::string name : { "cube.obj", "cube.bobj" }) {
        const std::string out = (scratch.path() / "out" / name).string();
        std::filesystem::create_directories(scratch.path() / "out");
        const meshtest::ToolRun run = import(in, out);
        ASSERT_EQ(run.status, 0) << run.out;
        EXPECT_NE(run.out.find("12 triangles from 6 faces, 8 normals computed"), std::string::npos) << run.out;
        Corners read;
        const bool loaded = name == "cube.obj"
            ? Tarvo::loadOBJ(out.c_str(), read.positions, read.texCoords, read.normals)
            : Tarvo::loadBinaryMesh(out.c_str(), read.positions, read.texCoords, read.normals);
        ASSERT_TRUE(loaded) << name;
        const Corners expected = expanded(imported(cubeOfQuads));
        EXPECT_EQ(read.positions, expected.positions) << name;
        EXPECT_EQ(read.texCoords, expected.texCoords) << name;
        EXPECT_EQ(read.normals, expected.normals) << name;
    }
}

TEST(ObjImportTest, TheShowsOwnModelsImportToTheCornersTheyDrawAlready)
{
    testsupport::ScratchDir scratch;
    std::vector<std::filesystem::path> models;
    for (const auto& folder : { std::filesystem::path(VANTOR_DATA), std::filesystem::path(VANTOR_DATA) / "models" })
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".obj")
                models.push_back(entry.path());
    ASSERT_GE(models.size(), 3u) << "the build generates the show's models";
    for (const auto& model : models) {
        Corners original;
        ASSERT_TRUE(Tarvo::loadOBJ(model.c_str(), original.positions, original.texCoords, original.normals));
        const std::string out = (scratch.path() / model.filename()).string() + ".bobj";
        const meshtest::ToolRun run = import(model.string(), out);
        ASSERT_EQ(run.status, 0) << run.out;
        Corners read;
        ASSERT_TRUE(Tarvo::loadBinaryMesh(out.c_str(), read.positions, read.texCoords, read.normals));
        ASSERT_EQ(read.positions.size(), original.positions.size()) << model;
        // Two parsers of the same decimal text may round the last bit apart.
        for (std::size_t i = 0; i < read.positions.size(); ++i) {
            const float tolerance = 1e-6f * (1.0f + glm::length(original.positions[i]));
            ASSERT_LE(glm::distance(read.positions[i], original.positions[i]), tolerance) << model << " corner " << i;
            ASSERT_LE(glm::distance(read.texCoords[i], original.texCoords[i]), 1e-6f) << model << " corner " << i;
            ASSERT_LE(glm::distance(read.normals[i], original.normals[i]), 1e-6f) << model << " corner " << i;
        }
    }
}

// Area vector of the triangles the engine would draw: a concave face's triangles cover
// exactly the polygon, none of them turned over.
double signedAreaAlongZ(const Tarvo::ObjMesh& mesh, int& reversed)
{
    double area = 0.0;
    reversed = 0;
    for (std::size_t t = 0; t + 8 < mesh.corners.size(); t += 9) {
        const glm::dvec3 a(mesh.positions[std::size_t(mesh.corners[t] - 1)]);
        const glm::dvec3 b(mesh.positions[std::size_t(mesh.corners[t + 3] - 1)]);
        const glm::dvec3 c(mesh.positions[std::size_t(mesh.corners[t + 6] - 1)]);
        const double z = glm::cross(b - a, c - a).z / 2.0;
        reversed += z < 0.0;
        area += z;
    }
    return area;
}

TEST(ObjImportTest, OneOfAnythingIsCountedInTheSingular)
{
    testsupport::ScratchDir scratch;
    const meshtest::ToolRun run =
        import(scratch.write("one.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3\n"), scratch.file("one.bobj"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find(": 1 triangle from 1 face, 1 normal computed"), std::string::npos) << run.out;
}

TEST(ObjImportTest, ConcaveFacesAreCutIntoTrianglesThatCoverThemExactly)
{
    // A letter L (area 5) and a five-pointed star outline, both counter-clockwise; the
    // star's fan from its first corner would cover more than the star and turn some
    // triangles over.
    std::string letter = "v 0 0 0\nv 3 0 0\nv 3 1 0\nv 1 1 0\nv 1 3 0\nv 0 3 0\nf 1 2 3 4 5 6\n";
    Tarvo::ObjMesh mesh = imported(letter);
    int reversed = 0;
    EXPECT_NEAR(signedAreaAlongZ(mesh, reversed), 5.0, 1e-9);
    EXPECT_EQ(reversed, 0);
    EXPECT_EQ(mesh.triangleCount(), 4u);

    std::string star;
    double starArea = 0.0;
    std::vector<glm::dvec2> points;
    for (int i = 0; i < 10; ++i) {
        const double angle = 3.14159265358979 / 2.0 + i * 3.14159265358979 / 5.0;
        const double radius = i % 2 == 0 ? 1.0 : 0.38;
        points.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    // Start at an inner corner, where a fan goes wrong.
    std::rotate(points.begin(), points.begin() + 1, points.end());
    std::string face = "f";
    for (std::size_t i = 0; i < points.size(); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "v %.9f %.9f 0\n", points[i].x, points[i].y);
        star += line;
        std::snprintf(line, sizeof line, " %zu", i + 1);
        face += line;
    }
    star += face + "\n";
    mesh = imported(star);
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const glm::dvec2 p(mesh.positions[i]), q(mesh.positions[(i + 1) % mesh.positions.size()]);
        starArea += (p.x * q.y - q.x * p.y) / 2.0;
    }
    EXPECT_NEAR(signedAreaAlongZ(mesh, reversed), starArea, 1e-9);
    EXPECT_EQ(reversed, 0);
    EXPECT_EQ(mesh.triangleCount(), 8u);

    // The same L standing in the x-z plane, its corners turning about +y: the triangles
    // keep the face's own winding.
    const std::string standing = "v 0 0 0\nv 0 0 3\nv 1 0 3\nv 1 0 1\nv 3 0 1\nv 3 0 0\nf 1 2 3 4 5 6\n";
    mesh = imported(standing);
    for (std::size_t t = 0; t < mesh.corners.size(); t += 9) {
        const glm::vec3 a = mesh.positions[std::size_t(mesh.corners[t] - 1)];
        const glm::vec3 b = mesh.positions[std::size_t(mesh.corners[t + 3] - 1)];
        const glm::vec3 c = mesh.positions[std::size_t(mesh.corners[t + 6] - 1)];
        EXPECT_GT(glm::cross(b - a, c - a).y, 0.0f) << "triangle " << t / 9;
    }
}

TEST(ObjImportTest, BadInputIsRefusedWithItsReasonAndWritesNothing)
{
    testsupport::ScratchDir scratch;
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const struct {
        std::string text;
        std::string reason;
    } cases[] = {
        { triangle, "no faces" },
        { triangle + "f 1 2\n", "line 4: a face needs at least 3 corners, this one has 2" },
        { triangle + "f\n", "line 4: a face needs at least 3 corners, this one has 0" },
        { triangle + "f 1 2 3\n# c\nf 1 2 4\n", "line 6 (face 2), corner 3: index 4 is outside the 3 positions" },
        { triangle + "f 1 9 8\n", "line 4 (face 1), corner 2: index 9" },
        { triangle + "vt 0 0\nf 1/1 2/5 7/1\n", "corner 2: index 5 is outside the 1 texture coordinates" },
        { triangle + "f -1 -2 -4\n", "index -4 is outside the 3 positions read before it" },
        { triangle + "vn 0 0 1\nf 1//1 2//2 3//1\n", "index 2 is outside the 1 normals" },
        { triangle + "f 1/1 2/1 3/1\n", "outside the 0 texture coordinates" },
        { triangle + "f 1 2 0\n", "line 4 (face 1), corner 3: no position index" },
        { "v 0 0 0\nv 4 0 0\nv 0 2 0\nv 2 3 0\nf 1 2 3 4\n", "line 5 (face 1) is a polygon whose edges cross" },
        { "v 1 0 0\nv -0.81 0.59 0\nv 0.31 -0.95 0\nv 0.31 0.95 0\nv -0.81 -0.59 0\nf 1 2 3 4 5\n",
          "line 6 (face 1) is a polygon whose edges cross" },
        { triangle + "f 1 2 99999999999\n", "line 4: '99999999999' is not a corner" },
        { "v 0 0 nan\n" + triangle + "f 1 2 3\n", "line 1: 'nan' is not a finite number" },
        { triangle + "vn inf 0 1\nf 1 2 3\n", "'inf' is not a finite number" },
        { triangle + "vt 1e39 0\nf 1 2 3\n", "'1e39' is not a finite number" },
        { "v 1 2\n" + triangle + "f 1 2 3\n", "line 1: 'v' needs 3 numbers" },
    };
    for (const auto& c : cases) {
        const std::string in = scratch.write("bad.obj", c.text);
        const std::string out = (scratch.path() / "bad.bobj").string();
        const meshtest::ToolRun run = import(in, out);
        EXPECT_EQ(run.status, 1) << c.text;
        EXPECT_NE(run.out.find(c.reason), std::string::npos) << run.out;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.text;
        EXPECT_TRUE(testsupport::temporariesBeside(out).empty()) << c.text;
    }
    const std::string out = (scratch.path() / "x.obj").string();
    // An output that cannot be written is named, with the system's reason.
    for (const std::string name : { "m.bobj", "m.obj" }) {
        const std::string unwritable = (scratch.path() / "no-folder" / name).string();
        const meshtest::ToolRun run = import(scratch.write("one.obj", triangle + "f 1 2 3\n"), unwritable);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "meshtool: cannot write " + unwritable + ": No such file or directory\n");
    }
    EXPECT_NE(import((scratch.path() / "missing.obj").string(), out).out.find("cannot read"), std::string::npos);
    EXPECT_NE(import(scratch.path().string(), out).out.find("cannot read"), std::string::npos) << "a folder";
    EXPECT_EQ(import(scratch.write("ok.obj", cubeOfQuads), out + ".txt").status, 1) << "an output of no known format";
    EXPECT_FALSE(std::filesystem::exists(out) || std::filesystem::exists(out + ".txt"));
}

} // namespace
