// The show's command line: the design's first word "windowed" exactly as before, the added
// options with their values, and every mistake a one-line error rather than a full-screen
// show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ShowOptions.h"

using Tarvo::ShowArgs;
using Tarvo::ShowOptions;
using Tarvo::SwapSync;

namespace {

ShowArgs parse(const std::vector<std::string>& args, ShowOptions& options, std::string& error)
{
    options = ShowOptions();
    error.clear();
    return Tarvo::parseShowArgs(args, options, error);
}

} // namespace

TEST(ShowOptions, OnlyTheExactFirstWordWindowedSelectsAWindow)
{
    ShowOptions o;
    std::string error;
    EXPECT_EQ(parse({}, o, error), ShowArgs::Run);
    EXPECT_FALSE(o.windowed);
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);
    EXPECT_EQ(o.swapSync, SwapSync::DriverDefault);
    EXPECT_EQ(parse({"windowed"}, o, error), ShowArgs::Run);
    EXPECT_TRUE(o.windowed);
    for (const std::vector<std::string>& args :
        std::vector<std::vector<std::string>> {{"Windowed"}, {"windowed "}, {"extra", "windowed"}, {"Windowed", "extra"}}) {
        EXPECT_EQ(parse(args, o, error), ShowArgs::Run) << args[0] << ": words that are not options are ignored";
        EXPECT_FALSE(o.windowed) << args[0];
    }
}

TEST(ShowOptions, AddedOptionsTakeTheirValuesEitherWay)
{
    ShowOptions o;
    std::string error;
    ASSERT_EQ(parse({"windowed", "--size", "1280x720", "--display=2", "--vsync", "off"}, o, error), ShowArgs::Run)
        << error;
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 720);
    EXPECT_EQ(o.display, 2);
    EXPECT_EQ(o.swapSync, SwapSync::Off);
    ASSERT_EQ(parse({"--size=2x16384", "--vsync=on"}, o, error), ShowArgs::Run) << error;
    EXPECT_FALSE(o.windowed);
    EXPECT_EQ(o.width, 2);
    EXPECT_EQ(o.height, 16384);
    EXPECT_EQ(o.swapSync, SwapSync::On);
}

TEST(ShowOptions, HelpWinsWhereverItStands)
{
    ShowOptions o;
    std::string error;
    EXPECT_EQ(parse({"--help"}, o, error), ShowArgs::Help);
    EXPECT_EQ(parse({"windowed", "--size", "800x600", "-h"}, o, error), ShowArgs::Help);
    const std::string usage = Tarvo::showUsage();
    for (const char* mentioned : {"windowed", "--size WxH", "--display N", "--vsync on|off", "--help", "Escape"})
        EXPECT_NE(usage.find(mentioned), std::string::npos) << mentioned;
}

struct BadLine {
    std::vector<std::string> args;
    std::string error;
};

class ShowOptionsErrors : public ::testing::TestWithParam<BadLine> {};

TEST_P(ShowOptionsErrors, AreOneLineAndSayWhat)
{
    ShowOptions o;
    std::string error;
    EXPECT_EQ(parse(GetParam().args, o, error), ShowArgs::Error);
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Lines, ShowOptionsErrors,
    ::testing::Values(BadLine {{"--windowed"}, "unknown option '--windowed'"},
        BadLine {{"windowed", "-x"}, "unknown option '-x'"}, BadLine {{"-"}, "unknown option '-'"},
        BadLine {{"--size"}, "--size needs a value"},
        BadLine {{"--size", "1920"}, "--size: '1920' is not WxH with both sides from 2 to 16384"},
        BadLine {{"--size", "1x1080"}, "--size: '1x1080' is not WxH with both sides from 2 to 16384"},
        BadLine {{"--size=1920x16385"}, "--size: '1920x16385' is not WxH with both sides from 2 to 16384"},
        BadLine {{"--size", "-1920x1080"}, "--size: '-1920x1080' is not WxH with both sides from 2 to 16384"},
        BadLine {{"--size", "1920x1080px"}, "--size: '1920x1080px' is not WxH with both sides from 2 to 16384"},
        BadLine {{"--display", "0"}, "--display: '0' is not a display number from 1 to 64"},
        BadLine {{"--display", "two"}, "--display: 'two' is not a display number from 1 to 64"},
        BadLine {{"--vsync", "yes"}, "--vsync: 'yes' is neither on nor off"},
        BadLine {{"--vsync="}, "--vsync: '' is neither on nor off"}));
