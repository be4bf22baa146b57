// One frame as every program draws it: the window's buffers cleared, the row from its
// source stored before the scene's time is read, and the tracks brought to that row.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/Demo.h"
#include "runtime/Frame.h"
#include "support/DemoTestContext.h"
#include "support/GLTestContext.h"

namespace {

using Tarvo::FrameRow;

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_DEMO_CONTEXT(32, 32); }
};

TEST_F(FrameTest, AGivenRowIsStoredBeforeTheTimeIsReadAndTheWindowIsCleared)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

    std::vector<float> rowsSeenByTheClock;
    ASSERT_TRUE(Tarvo::drawFrame(*gDemo, FrameRow::at(7.5f), [&] {
        rowsSeenByTheClock.push_back(gDemo->getRow());
        return 0.375;
    }));
    EXPECT_EQ(gDemo->getRow(), 7.5f);
    EXPECT_EQ(rowsSeenByTheClock, std::vector<float>{7.5f}) << "the time is read once, after the row";
    EXPECT_EQ(testsupport::readPixel(16, 16), (std::vector<std::uint8_t>{0, 0, 0, 0})) << "cleared";
}

TEST_F(FrameTest, WithoutMusicTheMusicRowIsTheOneSetLast)
{
    // The test context has no music: the clock has nothing to say, and a caller that
    // steps the rows itself keeps them.
    gDemo->setRow(3.25f);
    int timeReads = 0;
    ASSERT_TRUE(Tarvo::drawFrame(*gDemo, FrameRow::fromMusic(), [&] { return ++timeReads, 1.0; }));
    EXPECT_EQ(gDemo->getRow(), 3.25f);
    EXPECT_EQ(timeReads, 1);
    ASSERT_TRUE(Tarvo::drawFrame(*gDemo, FrameRow::at(-2.0f), [] { return 0.0; }));
    EXPECT_EQ(gDemo->getRow(), -2.0f) << "a row before the show is the caller's to give";
}

} // namespace
