// synctool as scripts use it: its output formats, exit statuses, and a build that
// writes nothing when the timeline has mistakes.
#include "TrackFiles.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/wait.h>

using namespace synctest;

namespace {

Bytes sampleTrack()
{
    Bytes bytes;
    putInt32(bytes, 3);
    putKey(bytes, 10, 0.0f, 0x01);
    putKey(bytes, 12, 1.0f, 0x00);
    putKey(bytes, 20, 0.1f, 0x02);
    return bytes;
}

TEST(Synctool, DumpPrintsRowValueTypePerKey)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.write("t.track", sampleTrack());
    const ToolRun run = runTool(folder, "dump " + quoted(path));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "10 0 1\n12 1 0\n20 0.100000001 2\n");
}

TEST(Synctool, EvalPrintsOneValuePerRow)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.write("t.track", sampleTrack());
    const ToolRun run = runTool(folder, "eval " + quoted(path) + " 10.5 -3 11 12 1e3 19.25");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0.25\n0\n0.5\n1\n0.100000001\n1\n");
}

TEST(Synctool, MissingFileFailsWithoutOutput)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.file("absent.track");
    for (const std::string& command : {"dump " + quoted(path), "eval " + quoted(path) + " 1"}) {
        const ToolRun run = runTool(folder, command);
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_NE(run.err.find("SYNC TRACK " + path + " NOT FOUND"), std::string::npos) << run.err;
    }
}

TEST(Synctool, DamagedFileShowsIntactKeysAndExitsTwo)
{
    testsupport::ScratchDir folder;
    Bytes bytes = sampleTrack();
    bytes.resize(bytes.size() - 4);
    const std::string path = folder.write("cut.track", bytes);
    const ToolRun run = runTool(folder, "dump " + quoted(path));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "10 0 1\n12 1 0\n");
    EXPECT_NE(run.err.find("file ends after 2 of 3 keys"), std::string::npos) << run.err;
}

TEST(Synctool, BadArgumentsFail)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.write("t.track", sampleTrack());
    EXPECT_EQ(runTool(folder, "").status, 1);
    EXPECT_EQ(runTool(folder, "frobnicate x").status, 1);
    EXPECT_EQ(runTool(folder, "eval " + quoted(path)).status, 1);
    for (const char* row : {"abc", "1.5x", "nan", "inf", "''"}) {
        const ToolRun run = runTool(folder, "eval " + quoted(path) + " 1 " + row);
        EXPECT_EQ(run.status, 1) << row;
        EXPECT_EQ(run.out, "") << row;
    }
}

TEST(Synctool, BuildWritesOneFilePerTrack)
{
    testsupport::ScratchDir folder;
    const std::string source = folder.write("show.txt", "track e\n0 2.0 step\n400 0.0 step\ntrack camX\n0 1 linear\n8 3 smooth\n");
    const std::string base = folder.file("out/science/sync");
    const ToolRun build = runTool(folder, "build " + quoted(source) + " " + quoted(base));
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out, "");
    EXPECT_EQ(runTool(folder, "dump " + quoted(base + "_e.track")).out, "0 2 0\n400 0 0\n");
    EXPECT_EQ(runTool(folder, "eval " + quoted(base + "_camX.track") + " 4 399 400").out, "2\n3\n3\n");
    EXPECT_EQ(runTool(folder, "eval " + quoted(base + "_e.track") + " 399.9 400").out, "2\n0\n");
}

TEST(Synctool, BuildWithMistakesWritesNothing)
{
    testsupport::ScratchDir folder;
    const std::string source = folder.write("bad.txt", "track good\n0 1 step\ntrack bad\n5 1 step\n4 2 step\n");
    const std::string base = folder.file("out/sync");
    const ToolRun run = runTool(folder, "build " + quoted(source) + " " + quoted(base));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, source + ":5: row 4 does not follow row 5 (rows must ascend)\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "out"));
}

} // namespace
