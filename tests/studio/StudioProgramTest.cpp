// vantor-studio end to end, as an editor drives it: a small show in a scratch folder (a
// generated tune, a timeline of a few tracks, a copy of the repository's shaders), saves of
// the timeline and of a shader answered by their reload lines on standard output, and
// commands on standard input answered on standard error, up to `quit` and exit status 0.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "StudioShow.h"

namespace studiotest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class StudioProgramTest : public StudioShowTest {};

TEST_F(StudioProgramTest, SavesAreReloadedAndCommandsObeyedUntilQuit)
{
    folder.write("data/timeline.txt", "track e\n0 2 step\n300 0 step\ntrack fade\n0 0 linear\n64 1 step\n");
    const auto studio = launch({});
    ASSERT_TRUE(studio->started());

    // The timeline is compiled as the studio starts: its line says the studio is ready.
    auto line = studio->nextLineStartingWith("reload ", 90s);
    ASSERT_TRUE(line) << studio->errorText();
    EXPECT_EQ(*line, "reload timeline ok 2 tracks");

    folder.write("data/timeline.txt", "track e\n0 2 step\n300 0 step\ntrack fade\n0 0 step\ntrack spin\n0 1 step\n");
    line = studio->nextLine(30s);
    ASSERT_TRUE(line) << studio->errorText();
    EXPECT_EQ(*line, "reload timeline ok 3 tracks");

    folder.write("data/timeline.txt", "track e\n0 2 step\ntrack fade\n16 x step\n");
    line = studio->nextLine(30s);
    ASSERT_TRUE(line) << studio->errorText();
    EXPECT_EQ(*line, "reload timeline failed data/timeline.txt:4: bad value 'x' (a finite decimal number)");

    std::ifstream original(folder.path() / "data/shaders/trivial.fs");
    const std::string shader((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    folder.write("data/shaders/trivial.fs", shader + "// saved again\n");
    line = studio->nextLine(30s);
    ASSERT_TRUE(line) << studio->errorText();
    EXPECT_EQ(*line, "reload shader ok data/shaders/trivial.fs");

    // Paused, the row holds exactly where a seek puts it. The failed timeline left the last
    // good one: its "e" still ends the show at row 300.
    studio->send("pause");
    EXPECT_TRUE(studio->waitForError("vantor-studio: pause: paused at row", 30s)) << studio->errorText();
    studio->send("seek 100");
    EXPECT_TRUE(studio->waitForError("vantor-studio: seek 100: paused at row 100.00 (bar 4.1)", 30s))
        << studio->errorText();
    studio->send("seek 5000");
    EXPECT_TRUE(studio->waitForError("seek 5000: paused at row 300.00", 30s)) << studio->errorText();
    studio->send("frobnicate");
    EXPECT_TRUE(studio->waitForError("vantor-studio: unknown command 'frobnicate'", 30s)) << studio->errorText();
    studio->send("quit");
    EXPECT_EQ(studio->wait(30s), 0) << studio->errorText();
    EXPECT_FALSE(studio->nextLineStartingWith("reload ", 1s)); // one line per reload, no more
}

TEST_F(StudioProgramTest, CtrlCAndSigtermEndTheStudioCleanly)
{
    folder.write("data/timeline.txt", "track e\n0 2 step\n300 0 step\n");
    for (const int signal : {SIGINT, SIGTERM}) {
        const auto studio = launch({});
        ASSERT_TRUE(studio->started());
        // Its first reload line says it is running its frames.
        ASSERT_TRUE(studio->nextLineStartingWith("reload ", 90s)) << studio->errorText();
        studio->signal(signal);
        EXPECT_EQ(studio->wait(30s), 128 + signal) << studio->errorText();
        EXPECT_TRUE(studio->waitForError("vantor-studio: stopped by signal " + std::to_string(signal), 1s))
            << studio->errorText();
    }
}

TEST_F(StudioProgramTest, ASizeBeyondWhatTheGlCanDrawIsRefusedAsAnArgument)
{
    folder.write("data/timeline.txt", "track e\n0 2 step\n");
    const auto studio = launch({}, "16384x16384");
    ASSERT_TRUE(studio->started());
    EXPECT_EQ(studio->wait(90s), 2) << studio->errorText();
    EXPECT_NE(studio->errorText().find("--size 16384x16384 is larger than this OpenGL allows"), std::string::npos)
        << studio->errorText();
}

} // namespace
} // namespace studiotest
