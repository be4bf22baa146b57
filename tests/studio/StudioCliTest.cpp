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
}

TEST(StudioProgram, HelpListsTheKeysCommandsAndReloadLines)
{
    testsupport::ScratchDir folder;
    StudioProcess studio(folder.path().string(), VANTOR_STUDIO, {"--help"});
    auto first = studio.nextLine(30s);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, "usage: vantor-studio [--scene NAME] [--size WxH] [--timings]");
    EXPECT_EQ(studio.wait(30s), 0);
}

} // namespace
} // namespace studiotest
