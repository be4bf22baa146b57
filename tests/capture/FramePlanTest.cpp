// Which frames a capture renders: rows on the fixed step, spans that end at --to or with
// the end track as the show ends, the cap at the music's end, and the samples of a span.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "capture/FramePlan.h"

namespace {

using capture::frameRow;
using capture::planSpan;
using capture::SpanPlan;

const auto neverEnds = [](float) { return 2.0f; };

TEST(FramePlanTest, FramesStepTwentyRowsASecondAndTimeIsRowOverTwenty)
{
    EXPECT_EQ(frameRow(0.0, 3, 60), 1.0);
    EXPECT_EQ(frameRow(2.5, 4, 20), 6.5);
    EXPECT_EQ(frameRow(10.0, 0, 24), 10.0);
    EXPECT_EQ(capture::sceneTime(100.0), 5.0);
    EXPECT_EQ(capture::sceneRow(0.1), 0.1f);
    // Time follows the row the tracks see, so both agree to the last bit.
    EXPECT_EQ(capture::sceneTime(0.1), static_cast<double>(0.1f) / 20.0);
}

TEST(FramePlanTest, SpanWithToHoldsExactlyTheFramesBeforeIt)
{
    struct Case {
        double from, to;
        int fps;
        long frames;
    };
    for (const Case& c : {Case{0, 10, 20, 10}, Case{0, 10.01, 20, 11}, Case{0, 1, 60, 3}, Case{3, 17, 20, 14},
                          Case{0.5, 0.6, 60, 1}, Case{1, 41, 30, 60}}) {
        SpanPlan plan;
        std::string error;
        ASSERT_TRUE(planSpan(c.from, c.to, c.fps, 0.0, neverEnds, plan, error)) << error;
        EXPECT_EQ(plan.frames, c.frames) << c.from << ".." << c.to << " at " << c.fps;
        EXPECT_LT(frameRow(c.from, plan.frames - 1, c.fps), c.to);
        EXPECT_GE(frameRow(c.from, plan.frames, c.fps), c.to);
        EXPECT_EQ(plan.endRow, c.to);
        EXPECT_FALSE(plan.capped);
    }
}

TEST(FramePlanTest, EndTrackEndsAfterTheFirstFrameAtOneOrLess)
{
    // "e" is 2.0 before row 10 and 1.0 from there: the frame at row 10 is still drawn.
    const auto e = [](float row) { return row < 10.0f ? 2.0f : 1.0f; };
    SpanPlan plan;
    std::string error;
    ASSERT_TRUE(planSpan(0.0, std::nullopt, 20, 1000.0, e, plan, error));
    EXPECT_EQ(plan.frames, 11);
    EXPECT_EQ(plan.endRow, 11.0);
    EXPECT_FALSE(plan.capped);

    // Just above 1.0 keeps going.
    const auto e2 = [](float row) { return row < 4.0f ? 1.0001f : 0.5f; };
    ASSERT_TRUE(planSpan(0.0, std::nullopt, 20, 1000.0, e2, plan, error));
    EXPECT_EQ(plan.frames, 5);
}

TEST(FramePlanTest, MissingEndTrackGivesExactlyOneFrame)
{
    SpanPlan plan;
    std::string error;
    ASSERT_TRUE(planSpan(7.0, std::nullopt, 60, 1000.0, [](float) { return 0.0f; }, plan, error));
    EXPECT_EQ(plan.frames, 1);
    EXPECT_DOUBLE_EQ(plan.endRow, 7.0 + 20.0 / 60.0);
}

TEST(FramePlanTest, EndTrackTestedAtTheRowTheSceneSees)
{
    std::vector<float> seen;
    SpanPlan plan;
    std::string error;
    ASSERT_TRUE(planSpan(0.1, std::nullopt, 60, 1000.0,
                         [&](float row) {
                             seen.push_back(row);
                             return seen.size() < 3 ? 2.0f : 0.0f;
                         },
                         plan, error));
    ASSERT_EQ(seen.size(), 3u);
    for (long i = 0; i < 3; ++i)
        EXPECT_EQ(seen[static_cast<size_t>(i)], static_cast<float>(frameRow(0.1, i, 60)));
}

TEST(FramePlanTest, EndTrackThatNeverDropsStopsASecondAfterTheMusic)
{
    SpanPlan plan;
    std::string error;
    ASSERT_TRUE(planSpan(0.0, std::nullopt, 20, 40.0, neverEnds, plan, error));
    EXPECT_TRUE(plan.capped);
    EXPECT_EQ(plan.frames, 61); // rows 0 to 60 inclusive
    EXPECT_LE(frameRow(0.0, plan.frames - 1, 20), 40.0 + capture::capSlackRows);

    // Starting past the end still draws the one frame the show always draws.
    ASSERT_TRUE(planSpan(500.0, std::nullopt, 20, 40.0, neverEnds, plan, error));
    EXPECT_EQ(plan.frames, 1);
    EXPECT_TRUE(plan.capped);
}

TEST(FramePlanTest, RefusesSpansBeyondTheFrameLimit)
{
    SpanPlan plan;
    std::string error;
    EXPECT_FALSE(planSpan(0.0, 1.0e8, 1000, 0.0, neverEnds, plan, error));
    EXPECT_NE(error.find("frames"), std::string::npos);
}

TEST(FramePlanTest, SampleSpansRoundEachEndAndTileWithoutGaps)
{
    const capture::SampleSpan span = capture::sampleSpan(3.0, 17.0, 44100);
    EXPECT_EQ(span.first, 6615u);
    EXPECT_EQ(span.count, 37485u - 6615u);

    // Spans that meet at a row between samples share the boundary: no sample is lost or
    // doubled when a capture is made in parts.
    const double cut = 7.0 + 1.0 / 3.0;
    const capture::SampleSpan a = capture::sampleSpan(0.0, cut, 44100);
    const capture::SampleSpan b = capture::sampleSpan(cut, 20.0, 44100);
    EXPECT_EQ(a.first + a.count, b.first);
    EXPECT_EQ(a.count + b.count, 44100u);

    EXPECT_EQ(capture::sampleSpan(5.0, 5.0, 44100).count, 0u);
    EXPECT_EQ(capture::sampleSpan(0.0, 5.0, 0).count, 0u);
}

// Scripts read the plan back: every row must come back as the very double the frames
// use, and a value that prints short stays short.
TEST(FramePlanTest, PlanPrintsOneKeyValueALineThatReadsBackExactly)
{
    capture::PlanReport report;
    std::string error;
    ASSERT_TRUE(planSpan(0.1, 7.3, 60, 50.0, neverEnds, report.span, error)) << error;
    report.from = 0.1;
    report.fps = 60;
    report.width = 64;
    report.height = 36;
    report.trackEndRow = 70.1;
    report.trackCapped = true;
    report.musicRows = 50.0;
    const std::string text = capture::formatPlan(report);

    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t space = line.find(' ');
        ASSERT_NE(space, std::string::npos) << line;
        EXPECT_TRUE(values.emplace(line.substr(0, space), line.substr(space + 1)).second) << line;
    }
    EXPECT_EQ(values["frames"], std::to_string(report.span.frames));
    EXPECT_EQ(values["fps"], "60");
    EXPECT_EQ(values["size"], "64x36");
    EXPECT_EQ(values["first_row"], "0.1");
    EXPECT_EQ(std::strtod(values["last_frame_row"].c_str(), nullptr), frameRow(0.1, report.span.frames - 1, 60));
    EXPECT_EQ(values["end_row"], "7.3");
    EXPECT_EQ(values["capped"], "0");
    EXPECT_EQ(values["track_end_row"], "70.1");
    EXPECT_EQ(values["track_capped"], "1");
    EXPECT_EQ(values["music_rows"], "50");
    EXPECT_EQ(std::strtod(values["duration_s"].c_str(), nullptr), report.span.frames / 60.0);
}

} // namespace
