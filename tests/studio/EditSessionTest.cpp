// The timeline file under the studio's edits: saves write the document whole and say so in
// their fixed line; the studio's own save is recognised when the watcher reports it; an
// outside save is taken when nothing is unsaved and never silently overwrites either side
// when something is; the recovery file holds whatever could not be saved.
#include <gtest/gtest.h>

#include <filesystem>

#include "studio/EditSession.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace studio {
namespace {

using testsupport::readFile;

class EditSessionTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder.write("timeline.txt", original);
        std::vector<std::string> errors;
        ASSERT_TRUE(session.open(errors));
    }
    void edit(long long row, double value)
    {
        std::string why;
        ASSERT_TRUE(session.document().setKey("a", row, value, -1, why)) << why;
    }

    const std::string original = "# a comment\ntrack a\n0    1.0  step\n";
    testsupport::ScratchDir folder;
    EditSession session{folder.file("timeline.txt")};
};

TEST_F(EditSessionTest, ASaveWritesTheDocumentAndItsWatcherReportIsRecognisedAsOurs)
{
    edit(8, 2.0);
    std::string message;
    ASSERT_TRUE(session.save(message)) << message;
    EXPECT_EQ(message, "saved " + session.path() + " 1 tracks");
    EXPECT_EQ(readFile(session.path()), original + "8    2.0  step\n");
    EXPECT_FALSE(session.dirty());
    const auto entries = std::distance(std::filesystem::directory_iterator(folder.path()), {});
    EXPECT_EQ(entries, 1) << "only the timeline, no temporary left";
    std::vector<std::string> errors;
    EXPECT_EQ(session.fileChanged(errors), EditSession::Outside::Ours);
    EXPECT_FALSE(session.dirty());
}

TEST_F(EditSessionTest, AnOutsideSaveIsTakenWhenNothingIsUnsaved)
{
    folder.write("timeline.txt", "track a\n0 5 step\ntrack b\n");
    std::vector<std::string> errors;
    EXPECT_EQ(session.fileChanged(errors), EditSession::Outside::Adopted);
    EXPECT_EQ(session.document().tracks().size(), 2u);

    // A broken outside save: edits wait until the file compiles again.
    folder.write("timeline.txt", "track a\n0 x step\n");
    EXPECT_EQ(session.fileChanged(errors), EditSession::Outside::Broken);
    EXPECT_FALSE(errors.empty());
    std::string why;
    EXPECT_FALSE(session.editable(why));
    EXPECT_NE(why.find("has errors"), std::string::npos) << why;
    EXPECT_FALSE(session.save(why));
    EXPECT_EQ(readFile(session.path()), "track a\n0 x step\n");
    folder.write("timeline.txt", "track a\n0 6 step\n");
    EXPECT_EQ(session.fileChanged(errors), EditSession::Outside::Adopted);
    EXPECT_TRUE(session.editable(why));
}

TEST_F(EditSessionTest, AnOutsideSaveOverUnsavedEditsWaitsForTheUsersChoice)
{
    edit(8, 2.0);
    const std::string theirs = "track a\n0 9 step\n";
    folder.write("timeline.txt", theirs);
    std::vector<std::string> errors;
    EXPECT_EQ(session.fileChanged(errors), EditSession::Outside::Conflict);
    std::string message;
    EXPECT_FALSE(session.save(message));
    EXPECT_NE(message.find("'reload theirs' or 'keep ours'"), std::string::npos) << message;
    EXPECT_EQ(readFile(session.path()), theirs);
    EXPECT_TRUE(session.dirty());

    // Keep ours: the next save replaces theirs, on the user's word.
    session.keepOurs();
    ASSERT_TRUE(session.save(message)) << message;
    EXPECT_EQ(readFile(session.path()), original + "8    2.0  step\n");
}

TEST_F(EditSessionTest, ReloadingTheirsPutsOurEditsInTheRecoveryFileFirst)
{
    edit(8, 2.0);
    const std::string ours = session.document().joined();
    folder.write("timeline.txt", "track a\n0 9 step\n");
    std::vector<std::string> errors;
    ASSERT_EQ(session.fileChanged(errors), EditSession::Outside::Conflict);
    std::string why;
    ASSERT_TRUE(session.reloadTheirs(errors, why)) << why;
    EXPECT_EQ(readFile(session.recoveryPath()), ours);
    EXPECT_EQ(session.document().joined(), "track a\n0 9 step\n");
    EXPECT_FALSE(session.dirty());
    EXPECT_TRUE(session.editable(why));
}

TEST_F(EditSessionTest, ASaveSeesAnOutsideSaveTheWatcherHasNotReportedYet)
{
    edit(8, 2.0);
    folder.write("timeline.txt", "track a\n0 9 step\n");
    std::string message;
    EXPECT_FALSE(session.save(message));
    EXPECT_TRUE(session.conflict());
    EXPECT_EQ(readFile(session.path()), "track a\n0 9 step\n");
}

TEST_F(EditSessionTest, ASaveThatCannotBeWrittenKeepsTheEditsAndSaysWhy)
{
    edit(8, 2.0);
    // A folder where the file was: nothing can be written there.
    std::filesystem::remove(session.path());
    std::filesystem::create_directory(session.path());
    std::string message;
    EXPECT_FALSE(session.save(message));
    EXPECT_NE(message.find("cannot write"), std::string::npos) << message;
    EXPECT_TRUE(session.dirty());
    EXPECT_TRUE(std::filesystem::is_directory(session.path()));
    std::string why;
    ASSERT_TRUE(session.writeRecovery(why)) << why;
    EXPECT_EQ(readFile(session.recoveryPath()), session.document().joined());
}

} // namespace
} // namespace studio
