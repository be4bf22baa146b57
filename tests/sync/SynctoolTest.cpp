// synctool as scripts use it: its output formats, exit statuses, and a build that
// writes nothing when the timeline has mistakes.
#include "TrackFiles.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

TEST(Synctool, HelpIsSuccessOnStandardOutput)
{
    testsupport::ScratchDir folder;
    for (const char* asked : {"--help", "-h"}) {
        const ToolRun run = runTool(folder, asked);
        EXPECT_EQ(run.status, 0) << asked;
        EXPECT_EQ(run.out.rfind("usage: synctool dump FILE\n", 0), 0u) << run.out;
        EXPECT_EQ(run.err, "") << asked;
    }
}

TEST(Synctool, ABuildThatCannotWriteOneTrackReplacesNone)
{
    testsupport::ScratchDir folder;
    const std::string base = folder.file("out/sync");
    const std::string before = folder.write("before.txt", "track a\n0 7 step\n");
    ASSERT_EQ(runTool(folder, "build " + quoted(before) + " " + quoted(base)).status, 0);

    // A valid track name too long for a file name, after a track that could be written.
    const std::string longName(300, 'c');
    const std::string source = folder.write("show.txt", "track a\n0 1 step\ntrack " + longName + "\n0 2 step\n");
    const ToolRun run = runTool(folder, "build " + quoted(source) + " " + quoted(base));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("sync_" + longName + ".track: cannot write: File name too long; no track file was replaced"),
        std::string::npos)
        << run.err;
    EXPECT_EQ(runTool(folder, "dump " + quoted(base + "_a.track")).out, "0 7 0\n");
    EXPECT_EQ(folder.list("out"), std::vector<std::string>{"sync_a.track"});
}

TEST(Synctool, AnOutputFolderThatCannotBeMadeSaysWhy)
{
    testsupport::ScratchDir folder;
    const std::string source = folder.write("show.txt", "track a\n0 1 step\n");
    const std::string blocker = folder.write("taken", "a file where the folder should be");
    const ToolRun run = runTool(folder, "build " + quoted(source) + " " + quoted(blocker + "/sync"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Not a directory"), std::string::npos) << run.err;
}

// The same rows with other values, many keys, so that a build takes long enough for two
// to overlap.
std::string bigTimeline(const char* value)
{
    std::string text = "track a\n";
    for (int row = 0; row < 20000; ++row)
        text += std::to_string(row) + " " + value + " linear\n";
    return text;
}

TEST(Synctool, TwoBuildsIntoOneFolderEachLeaveWholeTracks)
{
    testsupport::ScratchDir folder;
    const std::string halves = folder.write("halves.txt", bigTimeline("0.5"));
    const std::string doubles = folder.write("doubles.txt", bigTimeline("2"));
    ASSERT_EQ(runTool(folder, "build " + quoted(halves) + " " + quoted(folder.file("alone/halves"))).status, 0);
    ASSERT_EQ(runTool(folder, "build " + quoted(doubles) + " " + quoted(folder.file("alone/doubles"))).status, 0);
    const std::string halvesBytes = testsupport::readFile(folder.file("alone/halves_a.track"));
    const std::string doublesBytes = testsupport::readFile(folder.file("alone/doubles_a.track"));
    ASSERT_NE(halvesBytes, doublesBytes);

    const std::string base = quoted(folder.file("shared/sync"));
    const std::string both = "(" + quoted(SYNCTOOL_PATH) + " build " + quoted(halves) + " " + base + " & " +
                             quoted(SYNCTOOL_PATH) + " build " + quoted(doubles) + " " + base +
                             " & wait) 2>/dev/null";
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(std::system(both.c_str()), 0);
        const std::string result = testsupport::readFile(folder.file("shared/sync_a.track"));
        ASSERT_TRUE(result == halvesBytes || result == doublesBytes) << "round " << round << ": a mix";
        ASSERT_EQ(folder.list("shared"), std::vector<std::string>{"sync_a.track"}) << "round " << round;
    }
}

} // namespace
