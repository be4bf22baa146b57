// Two paths are one file when they lead to one: by device and inode when the file exists,
// by the resolved path when it does not yet.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/FileIdentity.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;

class FileIdentityTest : public testing::Test {
protected:
    void SetUp() override
    {
        scratch.write("x.wav", "sound");
        scratch.write("sub/other.wav", "other");
        fs::create_symlink("x.wav", scratch.path() / "link.y4m");
        fs::create_symlink("later.y4m", scratch.path() / "dangling.y4m");
        fs::create_hard_link(scratch.path() / "x.wav", scratch.path() / "hard.wav");
    }

    std::string at(const std::string& name) const { return (scratch.path() / name).string(); }

    testsupport::ScratchDir scratch;
};

TEST_F(FileIdentityTest, SpellingsLinksAndHardLinksOfOneFileAreTheSameFile)
{
    const std::string x = at("x.wav");
    for (const std::string& other :
         {at("./x.wav"), at("sub/../x.wav"), at("link.y4m"), at("hard.wav"), at("sub//..//x.wav")})
        EXPECT_TRUE(Tarvo::sameFile(x, other)) << other;
    // Neither exists yet, or one is a link to the other's place.
    EXPECT_TRUE(Tarvo::sameFile(at("new.y4m"), at("sub/../new.y4m")));
    EXPECT_TRUE(Tarvo::sameFile(at("dangling.y4m"), at("later.y4m")));
}

TEST_F(FileIdentityTest, DifferentFilesAreNot)
{
    EXPECT_FALSE(Tarvo::sameFile(at("x.wav"), at("sub/other.wav")));
    EXPECT_FALSE(Tarvo::sameFile(at("x.wav"), at("new.wav")));
    EXPECT_FALSE(Tarvo::sameFile(at("a.y4m"), at("b.y4m")));
    EXPECT_FALSE(Tarvo::sameFile(at("dangling.y4m"), at("x.wav")));
}

TEST_F(FileIdentityTest, LinksAreFollowedToTheirEnd)
{
    fs::create_symlink("link.y4m", scratch.path() / "second.lnk");
    EXPECT_EQ(Tarvo::followLinks(at("second.lnk")), at("x.wav"));
    EXPECT_EQ(Tarvo::followLinks(at("x.wav")), at("x.wav"));
    // A loop gives the path back rather than going round for ever.
    fs::create_symlink("loop.b", scratch.path() / "loop.a");
    fs::create_symlink("loop.a", scratch.path() / "loop.b");
    EXPECT_EQ(Tarvo::followLinks(at("loop.a")), at("loop.a"));
}

} // namespace
