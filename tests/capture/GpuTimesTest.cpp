// The GPU figures --bench prints: pass medians across frames that took the same path,
// in frame order and numbered, and the frame times' median and 95th percentile.
#include <gtest/gtest.h>

#include "capture/GpuTimes.h"

namespace {

using capture::GpuFrame;
using capture::GpuPass;

GpuFrame frame(double ms, std::vector<GpuPass> passes)
{
    return GpuFrame{ms, std::move(passes)};
}

TEST(GpuTimesTest, PassesAreNumberedInFrameOrderWithTheirMedians)
{
    const auto summary = capture::summariseGpu({
        frame(3.0, {{"clear", 0.1}, {"scene", 2.0}, {"fxaa", 0.9}}),
        frame(5.0, {{"clear", 0.3}, {"scene", 4.0}, {"fxaa", 0.7}}),
        frame(4.0, {{"clear", 0.2}, {"scene", 3.0}, {"fxaa", 0.8}}),
    });
    ASSERT_EQ(summary.passes.size(), 3u);
    EXPECT_EQ(summary.passes[0].name, "01_clear");
    EXPECT_EQ(summary.passes[1].name, "02_scene");
    EXPECT_EQ(summary.passes[2].name, "03_fxaa");
    EXPECT_DOUBLE_EQ(summary.passes[0].ms, 0.2);
    EXPECT_DOUBLE_EQ(summary.passes[1].ms, 3.0);
    EXPECT_DOUBLE_EQ(summary.passes[2].ms, 0.8);
    EXPECT_DOUBLE_EQ(summary.frame.median, 4.0);
    EXPECT_DOUBLE_EQ(summary.frame.p95, 5.0);
}

TEST(GpuTimesTest, FramesThatTookAnotherPathCountOnlyForTheFrameTimes)
{
    const auto summary = capture::summariseGpu({
        frame(2.0, {{"scene", 1.0}, {"fxaa", 1.0}}),
        frame(9.0, {{"scene", 5.0}, {"glow", 3.0}, {"fxaa", 1.0}}),
        frame(2.0, {{"scene", 3.0}, {"fxaa", 1.0}}),
        frame(4.0, {{"scene", 7.0}, {"blur", 1.0}}),
    });
    ASSERT_EQ(summary.passes.size(), 2u);
    EXPECT_DOUBLE_EQ(summary.passes[0].ms, 2.0);
    EXPECT_DOUBLE_EQ(summary.frame.median, 3.0);
    EXPECT_DOUBLE_EQ(summary.frame.p95, 9.0);
}

TEST(GpuTimesTest, NoFramesGiveNoPassesAndZeroTimes)
{
    const auto summary = capture::summariseGpu({});
    EXPECT_TRUE(summary.passes.empty());
    EXPECT_EQ(summary.frame.median, 0.0);
}

TEST(GpuTimesTest, ShaderStemIsTheFileNameWithoutFolderOrExtension)
{
    EXPECT_EQ(capture::shaderStem("./data/shaders/blurhoriz.fs"), "blurhoriz");
    EXPECT_EQ(capture::shaderStem("C:\\show\\fxaa.frag"), "fxaa");
    EXPECT_EQ(capture::shaderStem("trivial"), "trivial");
    EXPECT_EQ(capture::shaderStem(""), "");
}

} // namespace
