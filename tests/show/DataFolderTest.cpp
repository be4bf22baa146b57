// Where the programs look for data/: the working folder first (the design's place), then
// beside the program, then one folder up as in a build tree; and paths a user gave that
// must survive the move.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "runtime/DataFolder.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace {

class DataFolderTest : public ::testing::Test {
protected:
    fs::path folder(const fs::path& name) const
    {
        fs::create_directories(scratch.path() / name);
        return fs::canonical(scratch.path() / name);
    }
    testsupport::ScratchDir scratch;
};

} // namespace

TEST_F(DataFolderTest, TheWorkingFolderComesFirstThenTheProgramsThenTheOneAbove)
{
    const fs::path working = folder("somewhere");
    const fs::path program = folder("tree/build");
    EXPECT_EQ(Tarvo::dataHomeCandidates(working, program),
        (std::vector<fs::path> { working, program, scratch.path() / "tree" }));
    EXPECT_EQ(Tarvo::dataHomeCandidates(program, program), (std::vector<fs::path> { program, scratch.path() / "tree" }))
        << "started in its own folder: each folder once";
    EXPECT_EQ(Tarvo::dataHomeCandidates(working, fs::path()), (std::vector<fs::path> { working }))
        << "a program that cannot tell its folder";
}

TEST_F(DataFolderTest, TheFirstCandidateWithADataFolderWins)
{
    const fs::path working = folder("somewhere");
    const fs::path program = folder("tree/build");
    const auto candidates = Tarvo::dataHomeCandidates(working, program);
    EXPECT_FALSE(Tarvo::findDataHome(candidates).has_value());

    scratch.write("somewhere/data", "a file, not a folder");
    EXPECT_FALSE(Tarvo::findDataHome(candidates).has_value()) << "only a folder counts";

    folder("tree/data");
    EXPECT_EQ(Tarvo::findDataHome(candidates), scratch.path() / "tree") << "a build tree: one folder up";
    folder("tree/build/data");
    EXPECT_EQ(Tarvo::findDataHome(candidates), program) << "beside the program before the folder above";
    folder("elsewhere/data");
    EXPECT_EQ(Tarvo::findDataHome(Tarvo::dataHomeCandidates(folder("elsewhere"), program)), folder("elsewhere"))
        << "the working folder's own data/ always wins";
}

TEST_F(DataFolderTest, RelativePathsAreAnchoredToWhereTheProgramStarted)
{
    const fs::path started = folder("started");
    EXPECT_EQ(Tarvo::anchoredTo(started, "frames"), (started / "frames").string());
    EXPECT_EQ(Tarvo::anchoredTo(started, "../out/show.y4m"), (started / "../out/show.y4m").string());
    EXPECT_EQ(Tarvo::anchoredTo(started, "-"), "-") << "standard output";
    EXPECT_EQ(Tarvo::anchoredTo(started, ""), "") << "not given";
    EXPECT_EQ(Tarvo::anchoredTo(started, "/abs/show.wav"), "/abs/show.wav");
}

TEST(ProgramFolder, HoldsTheRunningProgram)
{
    const fs::path program = ::testing::internal::GetArgvs().front();
    const fs::path here = Tarvo::programFolder("a-bare-name-says-nothing");
    ASSERT_FALSE(here.empty());
    EXPECT_TRUE(fs::equivalent(here / program.filename(), program)) << here;
}
