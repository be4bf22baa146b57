// meshtool as scripts use it: the dump format, obj2bobj round trips, and nwa evaluation.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "MeshTestFiles.h"
#include "support/ScratchDir.h"

namespace {

using meshtest::ToolRun;

ToolRun meshtool(const std::string& arguments)
{
    return meshtest::runCommand(std::string(MESHTOOL_PATH) + " " + arguments + " 2>/dev/null");
}

// Everything from the "corners" line on: what the reader printed before it differs by
// format.
std::string corners(const std::string& out)
{
    const std::size_t at = out.find("corners ");
    return at == std::string::npos ? std::string() : out.substr(at);
}

const char* const kObj = "v 0 0 0\nv 1.5 0 0\nv 0 1 -2\nv 0.1 0.2 0.3\n"
                         "vt 0.25 0.75\nvt 1 0\nvn 0 0 1\nvn 0 1 0\n"
                         "f 1/1/1 2/2/2 3/1/1\nf 4/2/2 3/1/2 2/2/1 5/5/5\n";

} // namespace

TEST(MeshtoolTest, DumpPrintsTheReaderOutputThenOneCornerALine)
{
    testsupport::ScratchDir scratch;
    const std::string obj = scratch.write("m.obj", kObj);
    const ToolRun run = meshtool("dump 0 " + obj);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Loading OBJ file " + obj + "...\n"
                       "corners 6\n"
                       "0 0 0 0.25 0.75 0 0 1\n"
                       "1.5 0 0 1 0 0 1 0\n"
                       "0 1 -2 0.25 0.75 0 0 1\n"
                       "0.100000001 0.200000003 0.300000012 1 0 0 1 0\n"
                       "0 1 -2 0.25 0.75 0 1 0\n"
                       "1.5 0 0 1 0 0 0 1\n");
    EXPECT_EQ(corners(meshtool("dump 7 " + obj).out), corners(run.out));
}

TEST(MeshtoolTest, DumpExitsOneWhenTheReaderFails)
{
    testsupport::ScratchDir scratch;
    const ToolRun bad = meshtool("dump 0 " + scratch.write("bad.obj", "f 1//1 2//2 3//3\n"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("Fail line: /1\ncorners 0\n"), std::string::npos) << bad.out;
    EXPECT_EQ(meshtool("dump 2 " + (scratch.path() / "missing.bobj").string()).status, 1);
    EXPECT_EQ(meshtool("dump 1 " + scratch.write("p.ply", "ply\nend_header\n")).out, "corners 0\n");
    EXPECT_EQ(meshtool("dump 1 " + scratch.write("q.ply", "ply\n")).status, 1);
    EXPECT_EQ(meshtool("dump x " + scratch.write("r.obj", "")).status, 2);
}

TEST(MeshtoolTest, Obj2bobjOutputDumpsAsTheObjDoes)
{
    testsupport::ScratchDir scratch;
    const std::string obj = scratch.write("m.obj", kObj);
    const std::string bobj = (scratch.path() / "m.bobj").string();
    ASSERT_EQ(meshtool("obj2bobj " + obj + " " + bobj).status, 0);
    const ToolRun binary = meshtool("dump 2 " + bobj);
    EXPECT_EQ(binary.status, 0);
    EXPECT_EQ(binary.out.substr(0, binary.out.find('\n')), "12, 4, 6, 18");
    EXPECT_EQ(corners(binary.out), corners(meshtool("dump 0 " + obj).out));

    const std::string badIndex
        = scratch.write("bad.obj", "v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 1/1/1\n");
    EXPECT_EQ(meshtool("obj2bobj " + badIndex + " " + bobj + ".2").status, 1);
    EXPECT_FALSE(std::filesystem::exists(bobj + ".2")) << "nothing is written for a bad mesh";
}

TEST(MeshtoolTest, NwaPrintsEachPartsEvaluatedKey)
{
    testsupport::ScratchDir scratch;
    std::string text = "a.obj b.obj\n20 10\n";
    for (int i = 1; i <= 36; ++i)
        text += std::to_string(i) + " ";
    const std::string nwa = scratch.write("anim/test.nwa", text);
    const ToolRun run = meshtool("nwa " + nwa + " 5");
    EXPECT_EQ(run.status, 0);
    // Half-way between key 0 (numbers 1-6 and 7-12) and key 1 (13-18 and 19-24).
    EXPECT_EQ(run.out, "7 8 9 10 11 12\n13 14 15 16 17 18\n");
    EXPECT_EQ(meshtool("nwa " + nwa + " 20").out, "1 2 3 4 5 6\n7 8 9 10 11 12\n");
    EXPECT_EQ(meshtool("nwa " + scratch.write("bad.nwa", "a\n0 0\n") + " 1").status, 1);
}

TEST(MeshtoolTest, HelpIsSuccessOnStandardOutput)
{
    for (const char* asked : {"--help", "-h"}) {
        const ToolRun run = meshtest::runCommand(std::string(MESHTOOL_PATH) + " " + asked + " 2>&1");
        EXPECT_EQ(run.status, 0) << asked;
        EXPECT_EQ(run.out.rfind("usage: meshtool dump FORMAT FILE\n", 0), 0u) << run.out;
    }
    EXPECT_EQ(meshtool("--bogus").status, 2);
}

// One triangle that every reader and the importer accept.
const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.5\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n";

TEST(MeshtoolTest, AnOutputThatCannotBeWrittenSaysWhy)
{
    testsupport::ScratchDir scratch;
    const std::string obj = scratch.write("m.obj", kTriangle);
    const std::string missing = (scratch.path() / "no-such-folder").string();
    for (const std::string& command : {"obj2bobj " + obj + " " + missing + "/m.bobj",
                                       "import " + obj + " " + missing + "/m.bobj",
                                       "import " + obj + " " + missing + "/m.obj"}) {
        const ToolRun run = meshtest::runCommand(std::string(MESHTOOL_PATH) + " " + command + " 2>&1");
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.out.find("No such file or directory"), std::string::npos) << command << ": " << run.out;
    }
}

TEST(MeshtoolTest, AByteOrderMarkBeforeTheFirstVertexIsSkipped)
{
    testsupport::ScratchDir scratch;
    const std::string plain = scratch.write("plain.obj", kTriangle);
    const std::string marked = scratch.write("marked.obj", std::string("\xEF\xBB\xBF") + kTriangle);
    const ToolRun run = meshtool("dump 0 " + marked);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(corners(run.out), corners(meshtool("dump 0 " + plain).out));
    EXPECT_EQ(corners(run.out).rfind("corners 3\n0 0 0 ", 0), 0u) << run.out;
    // The importer too: both give the same .bobj.
    ASSERT_EQ(meshtool("import " + marked + " " + scratch.file("marked.bobj")).status, 0);
    ASSERT_EQ(meshtool("import " + plain + " " + scratch.file("plain.bobj")).status, 0);
    EXPECT_EQ(corners(meshtool("dump 2 " + scratch.file("marked.bobj")).out),
              corners(meshtool("dump 2 " + scratch.file("plain.bobj")).out));
}
