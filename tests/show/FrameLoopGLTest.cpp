// The frame loop's start, end rules, frame-time reports and pacing, driven by a stepped
// clock and a fake window so every pass is counted exactly.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/Demo.h"
#include "runtime/FrameLoop.h"
#include "support/CapturedOutput.h"
#include "support/DemoTestContext.h"
#include "support/ScratchDir.h"
#include "sync/Sync.h"
#include "sync/TrackWriter.h"

namespace {

// A show at a steady rate without a window or music: each frame spends frameSeconds of
// the clock in its swap, and the row is one more for every frame shown, taken when the
// loop reads the clock at the start of a pass, as the music clock would give it. The row
// a frame is drawn at is recorded when it is shown.
class SteppedHost : public Tarvo::FrameHost {
public:
    double now() override
    {
        if (logClock && clockReads == 0)
            std::printf("clock read\n");
        ++clockReads;
        gDemo->setRow(static_cast<float>(swaps));
        return clock;
    }
    void swap() override
    {
        ++swaps;
        shownRows.push_back(gDemo->getRow());
        clock += frameSeconds;
        if (frameSeconds2 > 0.0 && swaps == 1)
            clock += frameSeconds2;
    }
    bool escapePressed() override { return escapeAfter > 0 && swaps >= escapeAfter; }
    bool windowOpen() override { return closeAfter == 0 || swaps < closeAfter; }
    bool stopRequested() override { return stopAfter > 0 && swaps >= stopAfter; }

    double clock = 0.0;
    double frameSeconds = 0.125;
    double frameSeconds2 = 0.0; // extra time spent in the first frame
    int swaps = 0;
    int clockReads = 0;
    bool logClock = false;      // print a line at the first clock read
    std::vector<float> shownRows;
    int escapeAfter = 0;        // events processed in this swap press Escape
    int closeAfter = 0;         // ... or close the window
    int stopAfter = 0;          // a stop signal arrives during this swap
};

// The values of the "N ms/frame" lines of a log, in order.
std::vector<double> reportedValues(const std::string& text)
{
    std::vector<double> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t unit = line.find(" ms/frame");
        if (unit != std::string::npos)
            values.push_back(std::stod(line.substr(0, unit)));
    }
    return values;
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DEMO_CONTEXT(32, 32);
        gDemo->setRow(0.0f);
    }

    // A track store whose "e" holds keys (no file when keys is empty).
    Sync* endTrack(const std::vector<TrackKey>& keys)
    {
        const std::string base = scratch.file("sync");
        if (!keys.empty()) {
            EXPECT_TRUE(writeTrackFile(base + "_e.track", keys));
        }
        sync.reset(Sync::create(base, nullptr));
        return sync.get();
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<Sync> sync;
    SteppedHost host;
    std::ostringstream log;
};

TEST_F(FrameLoopTest, MissingEndTrackDrawsExactlyOneFrame)
{
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, endTrack({}), log), 1);
    EXPECT_EQ(host.swaps, 1);
}

TEST_F(FrameLoopTest, EndTrackAtOneOrLessFromTheStartStillShowsOneFrame)
{
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, endTrack({{0, 0.5f, Step}}), log), 1);
    EXPECT_EQ(host.swaps, 1);
}

TEST_F(FrameLoopTest, EndsAfterShowingTheFirstFrameWhoseRowGivesOneOrLess)
{
    // "e" is 2.0 until row 10, then 1.0: the frame at row 10 is the last one shown.
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, endTrack({{0, 2.0f, Step}, {10, 1.0f, Step}}), log), 11);
    ASSERT_EQ(host.shownRows.size(), 11u);
    EXPECT_EQ(host.shownRows.back(), 10.0f);
}

TEST_F(FrameLoopTest, ValueJustAboveOneKeepsRunning)
{
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, endTrack({{0, 1.0001f, Step}, {5, 0.5f, Step}}), log), 6);
}

TEST_F(FrameLoopTest, TakesTheFirstReportTimeBeforeOpeningTheEndTrack)
{
    // Opening "e" prints its SYNC TRACK line; the clock must have been read before it.
    Sync* tracks = endTrack({{0, 0.5f, Step}});
    host.logClock = true;
    testsupport::CapturedOutput captured;
    Tarvo::runFrameLoop(*gDemo, host, tracks, log);
    const std::string out = captured.take();
    const size_t clock = out.find("clock read");
    const size_t track = out.find("SYNC TRACK FOUnD");
    ASSERT_NE(clock, std::string::npos) << out;
    ASSERT_NE(track, std::string::npos) << out;
    EXPECT_LT(clock, track) << out;
}

TEST_F(FrameLoopTest, EscapeOrCloseSeenInASwapEndsTheShowAfterThatFrame)
{
    // Events are processed inside the swap, and the end is tested after it: the frame
    // whose swap saw the key or the close is the last one drawn, and it was shown.
    Sync* tracks = endTrack({{0, 2.0f, Step}});
    host.escapeAfter = 3;
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, tracks, log), 3);
    EXPECT_EQ(host.swaps, 3);

    SteppedHost closing;
    closing.closeAfter = 4;
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, closing, tracks, log), 4);
    EXPECT_EQ(closing.swaps, 4);
}

TEST_F(FrameLoopTest, AStopSignalEndsTheShowAfterTheFrameItArrivedIn)
{
    Sync* tracks = endTrack({{0, 2.0f, Step}});
    host.stopAfter = 5;
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, host, tracks, log), 5);
    EXPECT_EQ(host.swaps, 5);
    // One already there before the loop still lets the first frame be shown.
    struct StoppedHost : SteppedHost {
        bool stopRequested() override { return true; }
    } stopped;
    EXPECT_EQ(Tarvo::runFrameLoop(*gDemo, stopped, tracks, log), 1);
}

TEST_F(FrameLoopTest, ReportsAverageFrameTimeOnceASecond)
{
    // 8 frames a second: the ninth pass is one second after the start and counts itself.
    Tarvo::runFrameLoop(*gDemo, host, endTrack({{0, 2.0f, Step}, {20, 0.0f, Step}}), log);
    std::istringstream lines(log.str());
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "111.111 ms/frame");
    std::string second;
    std::getline(lines, second);
    EXPECT_EQ(second, "125 ms/frame");
    EXPECT_DOUBLE_EQ(gDemo->getFrameTime(), 125.0);
}

TEST_F(FrameLoopTest, AfterALongFrameTheNextPeriodStartsAtOnce)
{
    // The first frame takes 2.625 s, more than a whole period: its report covers it, and
    // the next period starts at that pass instead of a backlog of reports on the passes
    // after it.
    host.frameSeconds2 = 2.5;
    Tarvo::runFrameLoop(*gDemo, host, endTrack({{0, 2.0f, Step}, {20, 0.0f, Step}}), log);
    const std::vector<double> reports = reportedValues(log.str());
    ASSERT_GE(reports.size(), 2u);
    EXPECT_DOUBLE_EQ(reports[0], 1312.5); // 2.625 s over 2 passes
    EXPECT_DOUBLE_EQ(reports[1], 125.0) << "the steady rate, one second later";
}

struct SlowFrames {
    double seconds;
    double firstMs; // the first report counts the pass at the start too
};

class SlowFrameLoopTest : public FrameLoopTest, public ::testing::WithParamInterface<SlowFrames> {};

TEST_P(SlowFrameLoopTest, ReportsTheRealAverageWithoutClimbing)
{
    const SlowFrames slow = GetParam();
    host.frameSeconds = slow.seconds;
    constexpr int shown = 40;
    Tarvo::runFrameLoop(*gDemo, host, endTrack({{0, 2.0f, Step}, {shown - 1, 0.0f, Step}}), log);
    ASSERT_EQ(host.swaps, shown);
    const std::vector<double> reports = reportedValues(log.str());
    const double frameMs = slow.seconds * 1000.0;
    const double showSeconds = slow.seconds * (shown - 1);
    ASSERT_FALSE(reports.empty());
    EXPECT_NEAR(reports.front(), slow.firstMs, 1e-6);
    if (slow.seconds >= 1.0) {
        // One report per frame, each of that one frame.
        EXPECT_EQ(reports.size(), static_cast<size_t>(shown - 1));
        for (size_t i = 1; i < reports.size(); ++i)
            EXPECT_NEAR(reports[i], frameMs, 1e-6) << "report " << i;
    } else {
        // Keeping up: one report a second, as designed. A period is measured from its
        // start, which lies less than a frame before the last report, over the two or more
        // frames since: never below the real frame time, never half a frame above it.
        EXPECT_NEAR(static_cast<double>(reports.size()), showSeconds, 1.0);
        for (size_t i = 1; i < reports.size(); ++i) {
            EXPECT_GE(reports[i], frameMs - 1e-6) << "report " << i;
            EXPECT_LE(reports[i], frameMs * 1.5 + 1e-6) << "report " << i;
        }
    }
    // The log prints six significant digits.
    EXPECT_NEAR(gDemo->getFrameTime(), reports.back(), reports.back() * 1e-5) << "the scene reads the reported value";
}

INSTANTIATE_TEST_SUITE_P(FrameSeconds, SlowFrameLoopTest,
    ::testing::Values(SlowFrames { 0.4, 300.0 }, SlowFrames { 1.6, 800.0 }, SlowFrames { 5.0, 2500.0 }),
    [](const ::testing::TestParamInfo<SlowFrames>& info) {
        return "ms" + std::to_string(static_cast<int>(info.param.seconds * 1000.0));
    });

TEST(NextReportStart, AdvancesByAPeriodWhileKeepingUpAndRestartsWhenAFrameTookAPeriod)
{
    EXPECT_DOUBLE_EQ(Tarvo::nextReportStart(10.0, 10.99, 11.01), 11.0);
    EXPECT_DOUBLE_EQ(Tarvo::nextReportStart(10.0, 10.5, 11.49), 11.0) << "a frame just under a period";
    EXPECT_DOUBLE_EQ(Tarvo::nextReportStart(10.0, 10.5, 11.5), 11.5) << "a frame of exactly a period";
    EXPECT_DOUBLE_EQ(Tarvo::nextReportStart(10.0, 10.0, 75.0), 75.0);
}

} // namespace
