// A file written through AtomicFile is the old file or the whole new one, never a mix,
// and no part file outlives a write that failed or was given up.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/AtomicFile.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;

// A target that already holds "old contents", in a folder of its own.
class AtomicFileTest : public testing::Test {
protected:
    testsupport::ScratchDir scratch;
    const std::string target = scratch.write("out.bin", "old contents");
};

TEST_F(AtomicFileTest, CommitReplacesTheTargetAndLeavesNoPart)
{
    Tarvo::AtomicFile file(target);
    ASSERT_TRUE(file.isOpen()) << file.error();
    EXPECT_EQ(file.partPath(), target + ".part");
    ASSERT_TRUE(file.write("new ", 4));
    // Until the commit the target is untouched and the bytes sit in the part.
    std::fflush(file.stream());
    EXPECT_EQ(readFile(target), "old contents");
    ASSERT_TRUE(file.write("bytes", 5));
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(readFile(target), "new bytes");
    EXPECT_FALSE(fs::exists(target + ".part"));
    EXPECT_TRUE(file.error().empty());

    std::string why;
    ASSERT_TRUE(Tarvo::writeFileAtomically(target, "", 0, why)) << why;
    EXPECT_EQ(readFile(target), "");
}

TEST_F(AtomicFileTest, AWriteGivenUpHalfWayKeepsTheOldFile)
{
    {
        Tarvo::AtomicFile file(target);
        ASSERT_TRUE(file.write("half a fi", 9));
        // Going out of scope without a commit, as an early return or an exception would.
    }
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_FALSE(fs::exists(target + ".part"));

    Tarvo::AtomicFile file(target);
    ASSERT_TRUE(file.write("x", 1));
    file.abandon();
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_FALSE(fs::exists(target + ".part"));
}

TEST_F(AtomicFileTest, AFolderThatCannotBeWrittenIsReported)
{
    const std::string missing = (scratch.path() / "no-such-folder" / "out.bin").string();
    Tarvo::AtomicFile file(missing);
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_FALSE(file.commit());
    EXPECT_NE(file.error().find("No such file"), std::string::npos) << file.error();

    std::string why;
    EXPECT_FALSE(Tarvo::writeFileAtomically(missing, "x", 1, why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(fs::exists(scratch.path() / "no-such-folder"));
}

TEST_F(AtomicFileTest, ARenameThatFailsRemovesThePartAndKeepsTheTarget)
{
    // A folder cannot be replaced by a file: everything up to the rename succeeds.
    const fs::path folder = scratch.path() / "taken";
    fs::create_directories(folder / "inside");
    std::string why;
    EXPECT_FALSE(Tarvo::writeFileAtomically(folder.string(), "data", 4, why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_FALSE(fs::exists(folder.string() + ".part"));
}

} // namespace
