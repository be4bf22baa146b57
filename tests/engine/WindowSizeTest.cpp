// The window size the engine sizes targets by: unknown until the runtime records a real
// window, and never a size that would make an empty target.
#include <gtest/gtest.h>

#include "engine/WindowSize.h"

namespace {

TEST(WindowSizeTest, UnknownUntilRecordedAndOneByOneMeanwhile)
{
    Tarvo::clearWindowSize();
    EXPECT_FALSE(Tarvo::windowSizeKnown());
    EXPECT_EQ(Tarvo::windowWidth(), 1);
    EXPECT_EQ(Tarvo::windowHeight(), 1);

    Tarvo::setWindowSize(1920, 1080);
    EXPECT_TRUE(Tarvo::windowSizeKnown());
    EXPECT_EQ(Tarvo::windowWidth(), 1920);
    EXPECT_EQ(Tarvo::windowHeight(), 1080);

    Tarvo::clearWindowSize();
    EXPECT_EQ(Tarvo::windowWidth(), 1);
}

TEST(WindowSizeTest, AnEmptyOrNegativeSizeIsNotAWindow)
{
    Tarvo::setWindowSize(640, 480);
    Tarvo::setWindowSize(0, 480);
    EXPECT_FALSE(Tarvo::windowSizeKnown());
    EXPECT_EQ(Tarvo::windowHeight(), 1);
    Tarvo::setWindowSize(640, -1);
    EXPECT_FALSE(Tarvo::windowSizeKnown());
}

} // namespace
