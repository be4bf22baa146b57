// vantor-studio's command line: bad arguments are refused with a reason and status 2
// before any window opens, so no display is needed.
#include <gtest/gtest.h>

#include "StudioProcess.h"
#include "support/ScratchDir.h"

namespace studiotest {
namespace {

using namespace std::chrono_literals;

TEST(StudioProgram, BadArgumentsAreRefusedBeforeAnyWindowOpens)
{
    testsupport::ScratchDir folder;
    StudioProcess studio(folder.path().string(), VANTOR_STUDIO, {"--scene", "nosuch"});
    EXPECT_EQ(studio.wait(30s), 2);
    EXPECT_NE(studio.errorText().find("unknown scene 'nosuch'"), std::string::npos) << studio.errorText();
    StudioProcess size(folder.path().string(), VANTOR_STUDIO, {"--size", "0x10"});
    EXPECT_EQ(size.wait(30s), 2);
    for (const std::vector<std::string>& start : {std::vector<std::string>{"--row", "0x10"},
             std::vector<std::string>{"--loop", "64:32"}, std::vector<std::string>{"--loop", "64"},
             std::vector<std::string>{"--tracks", "camX,,camY"}, std::vector<std::string>{"--paused=yes"}}) {
        StudioProcess bad(folder.path().string(), VANTOR_STUDIO, start);
        EXPECT_EQ(bad.wait(30s), 2) << start[0];
        EXPECT_NE(bad.errorText().find(start[0]), std::string::npos) << bad.errorText();
    }
}

TEST(StudioProgram, HelpListsTheKeysCommandsAndReloadLines)
{
    testsupport::ScratchDir folder;
    StudioProcess studio(folder.path().string(), VANTOR_STUDIO, {"--help"});
    auto first = studio.nextLine(30s);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, "usage: vantor-studio [--scene NAME] [--size WxH] [--row ROW] [--loop FROM:TO] [--paused]");
    EXPECT_EQ(studio.wait(30s), 0);
}

} // namespace
} // namespace studiotest
