// The frame loop's end rules, frame-time reports and pacing, driven by a stepped clock and
// a fake window so every pass is counted exactly.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "runtime/Demo.h"
#include "runtime/FrameLoop.h"
#include "support/DemoTestContext.h"
#include "support/ScratchDir.h"
#include "sync/Sync.h"
#include "sync/TrackWriter.h"

namespace {

// Each swap advances the clock by one frame and the row by one: the loop sees a show
// that runs at a steady rate without a window or music.
class SteppedHost : public Tarvo::FrameHost {
public:
    double now() override { return clock; }
    void swap() override
    {
        ++swaps;
        clock += frameSeconds;
        if (frameSeconds2 > 0.0 && swaps == 1)
            clock += frameSeconds2;
        gDemo->setRow(gDemo->getRow() + 1.0f);
    }
    bool escapePressed() override { return escapeAfter > 0 && swaps >= escapeAfter; }
    bool windowOpen() override { return closeAfter == 0 || swaps < closeAfter; }

    double clock = 0.0;
    double frameSeconds = 0.125;
    double frameSeconds2 = 0.0; // extra time spent in the first frame
    int swaps = 0;
    int escapeAfter = 0;
    int closeAfter = 0;
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DEMO_CONTEXT(32, 32);
        gDemo->setRow(0.0f);
    }

    TrackHandle endTrack(const std::vector<TrackKey>& keys)
    {
        const std::string base = scratch.file("sync");
        if (!keys.empty()) {
            EXPECT_TRUE(writeTrackFile(base + "_e.track", keys));
        }
        sync.reset(Sync::create(base, nullptr));
        return sync->getTrack("e");
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<Sync> sync;
    SteppedHost host;
    std::ostringstream log;
};

TEST_F(FrameLoopTest, MissingEndTrackDrawsExactlyOneFrame)
{
    const TrackHandle e = endTrack({});
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, e, log), 1);
    EXPECT_EQ(host.swaps, 1);
}

TEST_F(FrameLoopTest, EndsAtTheFirstFrameWhoseRowGivesOneOrLess)
{
    // "e" is 2.0 until row 10, then 1.0: the frame at row 10 is the last one drawn.
    const TrackHandle e = endTrack({{0, 2.0f, Step}, {10, 1.0f, Step}});
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, e, log), 10);
}

TEST_F(FrameLoopTest, ValueJustAboveOneKeepsRunning)
{
    const TrackHandle e = endTrack({{0, 1.0001f, Step}, {5, 0.5f, Step}});
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, e, log), 5);
}

TEST_F(FrameLoopTest, EscapeAndWindowCloseEndTheShow)
{
    const TrackHandle e = endTrack({{0, 2.0f, Step}});
    host.escapeAfter = 3;
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, e, log), 3);

    SteppedHost closing;
    closing.closeAfter = 4;
    gDemo->setRow(0.0f);
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, closing, e, log), 4);
}

TEST_F(FrameLoopTest, ReportsAverageFrameTimeOnceASecond)
{
    // 8 frames a second: the ninth pass is one second after the start and counts itself.
    const TrackHandle e = endTrack({{0, 2.0f, Step}, {20, 0.0f, Step}});
    Tarvo::runFrameLoop(*gDemo, host, e, log);
    std::istringstream lines(log.str());
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "111.111 ms/frame");
    std::string second;
    std::getline(lines, second);
    EXPECT_EQ(second, "125 ms/frame");
    EXPECT_DOUBLE_EQ(gDemo->getFrameTime(), 125.0);
}

TEST_F(FrameLoopTest, LongFrameIsFollowedByAReportOnTheNextPass)
{
    // The first frame takes 2.5 s: the period start advances by one second per report,
    // so the next two passes both report.
    const TrackHandle e = endTrack({{0, 2.0f, Step}, {4, 0.0f, Step}});
    host.frameSeconds2 = 2.5;
    Tarvo::runFrameLoop(*gDemo, host, e, log);
    std::istringstream lines(log.str());
    std::vector<std::string> reports;
    for (std::string line; std::getline(lines, line);)
        reports.push_back(line);
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[0], "1312.5 ms/frame"); // 2.625 s over 2 passes
    EXPECT_EQ(reports[1], "1750 ms/frame");   // 2.75 - 1.0 s over 1 pass
}

} // namespace
