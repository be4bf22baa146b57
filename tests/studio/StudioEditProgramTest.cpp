// vantor-studio editing end to end, driven through standard input as a script would: keys
// set, undone and redone show in the picture of the next frame (the test card darkens with
// its "cardfade" track), the file changes only on save and then only by the key's line,
// and a quit with unsaved edits leaves them in the recovery file.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "StudioShow.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace studiotest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string timeline = "# A test card's timeline.\n"
                             "#   intro    rows    0-32   the card as drawn\n"
                             "#   dark     rows   32-64   the card faded\n"
                             "track e\n"
                             "0     2.0  step\n"
                             "300   0.0  step\n"
                             "\n"
                             "track cardfade   # darkens the card\n"
                             "0     0.0  step\n";

class StudioEditProgramTest : public StudioShowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StudioShowTest::SetUp());
        folder.write("data/timeline.txt", timeline);
    }

    // Sends the line and waits for its answer on standard error.
    void command(StudioProcess& studio, const std::string& line, const std::string& answer)
    {
        ASSERT_TRUE(studio.send(line));
        EXPECT_TRUE(studio.waitForError("vantor-studio: " + line + ": " + answer, 60s)) << studio.errorText();
    }

    double screenshot(StudioProcess& studio, const std::string& name)
    {
        studio.send("screenshot " + name);
        EXPECT_TRUE(studio.waitForError("vantor-studio: screenshot " + name + ": 96x54", 60s)) << studio.errorText();
        return meanBrightness(folder.path() / name);
    }
};

TEST_F(StudioEditProgramTest, KeysSetUndoneAndRedoneShowAtOnceAndSaveOnlyTheirLines)
{
    const auto studio = launch({"--paused", "--row", "40", "--no-remember"});
    ASSERT_TRUE(studio->started());
    const auto ready = studio->nextLineStartingWith("reload ", 90s);
    ASSERT_TRUE(ready) << studio->errorText();
    EXPECT_EQ(*ready, "reload timeline ok 2 tracks");

    const double drawn = screenshot(*studio, "drawn.png");
    ASSERT_GT(drawn, 40.0) << "the card as drawn";
    command(*studio, "key cardfade 32 1 step", "set cardfade row 32 (unsaved)");
    EXPECT_LT(screenshot(*studio, "faded.png"), 2.0) << "black from row 32 on";
    command(*studio, "undo", "undone");
    EXPECT_GT(screenshot(*studio, "undone.png"), 40.0) << "as drawn again";
    command(*studio, "redo", "redone");
    EXPECT_LT(screenshot(*studio, "redone.png"), 2.0);
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt"), timeline) << "unchanged until saved";

    command(*studio, "keys cardfade", "2 keys");
    EXPECT_EQ(studio->nextLine(10s), "key cardfade 0 0 step");
    EXPECT_EQ(studio->nextLine(10s), "key cardfade 32 1 step");
    command(*studio, "sections", "2 sections");
    EXPECT_EQ(studio->nextLine(10s), "section intro 0 32");
    EXPECT_EQ(studio->nextLine(10s), "section dark 32 64");
    command(*studio, "save", "saved data/timeline.txt 2 tracks");
    EXPECT_EQ(studio->nextLine(10s), "saved data/timeline.txt 2 tracks");
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt"), timeline + "32    1.0  step\n");

    command(*studio, "goto intro", "section intro from row 0");
    command(*studio, "delete cardfade 5", "no key at row 5 in track cardfade");
    command(*studio, "key cardfade 48 0.25", "set cardfade row 48 (unsaved)");
    command(*studio, "quit", "quitting; unsaved edits written to data/timeline.txt.recovery");
    EXPECT_EQ(studio->wait(60s), 0) << studio->errorText();
    // The studio's own save was not taken for an outside one: no reload line came.
    EXPECT_FALSE(studio->nextLineStartingWith("reload ", 1s));
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt"), timeline + "32    1.0  step\n");
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt.recovery"),
        timeline + "32    1.0  step\n48   0.25  step\n");
}

// A save from outside while the studio holds unsaved edits: neither side is overwritten
// until the user chooses, and choosing theirs keeps ours in the recovery file.
TEST_F(StudioEditProgramTest, AnOutsideSaveOverUnsavedEditsWaitsForTheChoice)
{
    const auto studio = launch({"--paused", "--no-remember"});
    ASSERT_TRUE(studio->started());
    ASSERT_TRUE(studio->nextLineStartingWith("reload ", 90s)) << studio->errorText();
    command(*studio, "key cardfade 8 1", "set cardfade row 8 (unsaved)");
    const std::string theirs = timeline + "16    0.5  step\n";
    folder.write("data/timeline.txt", theirs);
    EXPECT_TRUE(studio->waitForError("saved outside the studio while it has unsaved edits", 60s)) << studio->errorText();
    command(*studio, "save", "data/timeline.txt was saved outside the studio");
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt"), theirs);
    command(*studio, "reload theirs", "took data/timeline.txt as saved outside");
    EXPECT_NE(testsupport::readFile(folder.path() / "data/timeline.txt.recovery").find("8     1.0  step"),
        std::string::npos);
    command(*studio, "keys cardfade", "2 keys");
    EXPECT_EQ(studio->nextLineStartingWith("key ", 10s), "key cardfade 0 0 step");
    EXPECT_EQ(studio->nextLine(10s), "key cardfade 16 0.5 step");
    command(*studio, "quit", "quitting");
    EXPECT_EQ(studio->wait(60s), 0) << studio->errorText();
}

// SIGTERM cannot ask: the unsaved edits go to the recovery file and the studio says where.
TEST_F(StudioEditProgramTest, ASignalKeepsUnsavedEditsInTheRecoveryFile)
{
    const auto studio = launch({"--paused", "--no-remember"});
    ASSERT_TRUE(studio->started());
    ASSERT_TRUE(studio->nextLineStartingWith("reload ", 90s)) << studio->errorText();
    command(*studio, "key fade 8 0.5 linear", "set fade row 8 (unsaved)");
    studio->signal(SIGTERM);
    EXPECT_EQ(studio->wait(60s), 128 + SIGTERM) << studio->errorText();
    EXPECT_NE(studio->errorText().find("unsaved edits written to data/timeline.txt.recovery"), std::string::npos)
        << studio->errorText();
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt"), timeline);
    EXPECT_EQ(testsupport::readFile(folder.path() / "data/timeline.txt.recovery"),
        timeline + "\ntrack fade\n8     0.5  linear\n");
}

} // namespace
} // namespace studiotest
