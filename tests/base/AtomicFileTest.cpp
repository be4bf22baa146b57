// A file written through AtomicFile is the old file or the whole new one, never a mix,
// and no part file outlives a write that failed or was given up.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/AtomicFile.h"
#include "support/CapturedOutput.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;

bool writeText(const std::string& path, const std::string& text, std::string& why)
{
    return Tarvo::writeFileAtomically(path, text.data(), text.size(), why);
}

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
    EXPECT_FALSE(file.direct());
    // A temporary of its own beside the target, named after it.
    const fs::path part = file.partPath();
    EXPECT_EQ(part.parent_path(), fs::path(target).parent_path());
    EXPECT_EQ(part.filename().string().rfind("out.bin.", 0), 0u) << part;
    EXPECT_EQ(part.extension(), Tarvo::AtomicFile::partSuffix);
    ASSERT_TRUE(file.write("new ", 4));
    // Until the commit the target is untouched and the bytes sit in the part.
    std::fflush(file.stream());
    EXPECT_EQ(readFile(target), "old contents");
    ASSERT_TRUE(file.write("bytes", 5));
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(readFile(target), "new bytes");
    EXPECT_EQ(scratch.list(), std::vector<std::string>{"out.bin"});
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
    EXPECT_EQ(scratch.list(), std::vector<std::string>{"out.bin"});

    Tarvo::AtomicFile file(target);
    ASSERT_TRUE(file.write("x", 1));
    file.abandon();
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_EQ(scratch.list(), std::vector<std::string>{"out.bin"});

    // Sealed but never committed: the temporary goes too.
    Tarvo::AtomicFile sealed(target);
    ASSERT_TRUE(sealed.write("y", 1));
    ASSERT_TRUE(sealed.seal()) << sealed.error();
    sealed.abandon();
    EXPECT_EQ(readFile(target), "old contents");
    EXPECT_EQ(scratch.list(), std::vector<std::string>{"out.bin"});
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

TEST_F(AtomicFileTest, AFolderIsNeverReplacedByAFile)
{
    const fs::path folder = scratch.path() / "taken";
    fs::create_directories(folder / "inside");
    std::string why;
    EXPECT_FALSE(Tarvo::writeFileAtomically(folder.string(), "data", 4, why));
    EXPECT_NE(why.find("Is a directory"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_EQ(scratch.list(), (std::vector<std::string>{"out.bin", "taken"}));
}

TEST_F(AtomicFileTest, ALinkStaysALinkAndTheFileItLeadsToIsReplaced)
{
    // A link beside its file, a relative link into another folder, and a link whose
    // file is not made yet.
    const std::string elsewhere = scratch.write("data/real.bin", "old");
    fs::create_symlink("out.bin", scratch.path() / "near.lnk");
    fs::create_directories(scratch.path() / "links");
    fs::create_symlink("../data/real.bin", scratch.path() / "links" / "far.lnk");
    fs::create_symlink("made-later.bin", scratch.path() / "dangling.lnk");
    struct Case {
        std::string link;
        std::string leadsTo;
    } const cases[] = {
        {scratch.file("near.lnk"), target},
        {scratch.file("links/far.lnk"), elsewhere},
        {scratch.file("dangling.lnk"), scratch.file("made-later.bin")},
    };
    for (const Case& c : cases) {
        std::string why;
        ASSERT_TRUE(writeText(c.link, "through " + c.link, why)) << c.link << ": " << why;
        EXPECT_TRUE(fs::is_symlink(c.link)) << c.link;
        EXPECT_EQ(readFile(c.leadsTo), "through " + c.link);
    }
    EXPECT_EQ(scratch.list(), (std::vector<std::string>{"dangling.lnk", "data", "links", "made-later.bin",
                                  "near.lnk", "out.bin"}));
    EXPECT_EQ(scratch.list("data"), std::vector<std::string>{"real.bin"});
}

TEST_F(AtomicFileTest, AFifoIsWrittenToAndNotReplaced)
{
    const std::string fifo = scratch.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader that is there before the writer, and never blocks the test.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string why;
    EXPECT_TRUE(writeText(fifo, "through the pipe", why)) << why;
    char got[64] = {};
    const ssize_t n = ::read(reader, got, sizeof got);
    ::close(reader);
    EXPECT_EQ(std::string(got, n > 0 ? static_cast<size_t>(n) : 0), "through the pipe");
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_EQ(scratch.list(), (std::vector<std::string>{"out.bin", "pipe"}));
}

TEST_F(AtomicFileTest, DevStdoutWritesToWhereStandardOutputGoes)
{
    testsupport::CapturedOutput out;
    Tarvo::AtomicFile file("/dev/stdout");
    ASSERT_TRUE(file.isOpen()) << file.error();
    EXPECT_TRUE(file.direct());
    ASSERT_TRUE(file.write("to the stream\n", 14));
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(out.take(), "to the stream\n");
    EXPECT_TRUE(fs::is_symlink("/dev/stdout"));
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsPermissions)
{
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string why;
    ASSERT_TRUE(writeText(target, "private", why)) << why;
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(AtomicFileTest, TwoWritersToOneTargetEachLeaveAWholeFile)
{
    Tarvo::AtomicFile first(target);
    Tarvo::AtomicFile second(target);
    ASSERT_TRUE(first.isOpen() && second.isOpen());
    EXPECT_NE(first.partPath(), second.partPath());

    // Written in small pieces, side by side, many times: a shared temporary would mix
    // them or lose one writer's rename.
    const std::string a(64 * 1024, 'a');
    const std::string b(64 * 1024, 'b');
    first.abandon();
    second.abandon();
    for (int round = 0; round < 20; ++round) {
        bool committed[2] = {false, false};
        auto writer = [&](const std::string& text, bool& done) {
            Tarvo::AtomicFile file(target);
            bool ok = true;
            for (size_t at = 0; ok && at < text.size(); at += 1024) {
                ok = file.write(text.data() + at, 1024);
                std::this_thread::yield();
            }
            done = ok && file.commit();
        };
        std::thread one(writer, std::cref(a), std::ref(committed[0]));
        std::thread two(writer, std::cref(b), std::ref(committed[1]));
        one.join();
        two.join();
        ASSERT_TRUE(committed[0] && committed[1]) << "round " << round;
        const std::string result = readFile(target);
        ASSERT_TRUE(result == a || result == b) << "round " << round << ": a mix of " << result.size() << " bytes";
        ASSERT_EQ(scratch.list(), std::vector<std::string>{"out.bin"}) << "round " << round;
    }
}

} // namespace
