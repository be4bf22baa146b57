// The capture's command line: defaults, values, file names of rows, and every argument
// or combination that must be refused before anything is opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "capture/CaptureOptions.h"
#include "support/ScratchDir.h"

namespace {

using capture::CaptureOptions;
using Tarvo::ParseResult;

const std::vector<std::string> scenes = {"main", "testcard"};

ParseResult parse(const std::vector<std::string>& args, CaptureOptions& options, std::string& error)
{
    return capture::parseCaptureArgs(args, scenes, options, error);
}

TEST(CaptureOptionsTest, DefaultsAreTheShowsSizeAndRateFromRowZero)
{
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--out", "frames"}, o, error), ParseResult::Ok) << error;
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);
    EXPECT_EQ(o.fps, 60);
    EXPECT_EQ(o.from, 0.0);
    EXPECT_FALSE(o.to.has_value());
    EXPECT_EQ(o.scene, "main");
    EXPECT_EQ(o.outDir, "frames");
    EXPECT_TRUE(o.rendersFrames());
}

TEST(CaptureOptionsTest, TakesValuesAsNextArgumentOrAfterEquals)
{
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--size=64x36", "--fps", "30", "--from", "2.5", "--to=10", "--y4m", "-", "--wav", "a.wav",
                     "--scene", "testcard"},
                    o, error),
              ParseResult::Ok)
        << error;
    EXPECT_EQ(o.width, 64);
    EXPECT_EQ(o.height, 36);
    EXPECT_EQ(o.fps, 30);
    EXPECT_EQ(o.from, 2.5);
    ASSERT_TRUE(o.to.has_value());
    EXPECT_EQ(*o.to, 10.0);
    EXPECT_EQ(o.y4mPath, "-");
    EXPECT_EQ(o.wavPath, "a.wav");
    EXPECT_EQ(o.scene, "testcard");
}

TEST(CaptureOptionsTest, WavAloneRendersNoFrames)
{
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--wav", "show.wav"}, o, error), ParseResult::Ok) << error;
    EXPECT_FALSE(o.rendersFrames());
}

TEST(CaptureOptionsTest, PlanAloneOrWithTheMusicRendersNoFrames)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--plan"}, {"--to", "40", "--plan", "--wav", "a.wav"}}) {
        CaptureOptions o;
        std::string error;
        ASSERT_EQ(parse(args, o, error), ParseResult::Ok) << error;
        EXPECT_TRUE(o.plan);
        EXPECT_FALSE(o.rendersFrames());
    }
}

TEST(CaptureOptionsTest, FramesNameAPartOfTheSpanFirstToEnd)
{
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--y4m", "-", "--to", "100", "--frames", "0:1"}, o, error), ParseResult::Ok) << error;
    ASSERT_TRUE(o.frames.has_value());
    EXPECT_EQ(o.frames->first, 0);
    EXPECT_EQ(o.frames->end, 1);
    CaptureOptions last;
    ASSERT_EQ(parse({"--out", "d", "--frames=250:10000000"}, last, error), ParseResult::Ok) << error;
    EXPECT_EQ(last.frames->first, 250);
    EXPECT_EQ(last.frames->end, 10000000);
}

TEST(CaptureOptionsTest, HelpAsksForTheUsageText)
{
    CaptureOptions o;
    std::string error;
    EXPECT_EQ(parse({"--out", "d", "-h"}, o, error), ParseResult::Help);
    EXPECT_EQ(parse({"--help"}, o, error), ParseResult::Help);
    EXPECT_NE(capture::usageText(scenes).find("testcard"), std::string::npos);
}

TEST(CaptureOptionsTest, RowsKeepIntegerTextAndPrintOthersWithG)
{
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--rows", "5,007,3.50,1e2,0.125", "--out", "d"}, o, error), ParseResult::Ok) << error;
    ASSERT_EQ(o.rows.size(), 5u);
    const std::vector<std::string> names = {"5", "007", "3.5", "100", "0.125"};
    const std::vector<double> values = {5.0, 7.0, 3.5, 100.0, 0.125};
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(o.rows[i].name, names[i]);
        EXPECT_EQ(o.rows[i].row, values[i]);
    }
}

struct BadLine {
    std::vector<std::string> args;
    const char* says; // a piece of the message
};

// Each line, after the arguments common to all of them, is refused with its reason.
void expectRefused(const std::vector<std::string>& common, const std::vector<BadLine>& lines)
{
    for (const BadLine& line : lines) {
        std::vector<std::string> args = common;
        args.insert(args.end(), line.args.begin(), line.args.end());
        CaptureOptions o;
        std::string error;
        std::string joined;
        for (const std::string& a : args)
            joined += a + " ";
        EXPECT_EQ(parse(args, o, error), ParseResult::Error) << joined;
        EXPECT_NE(error.find(line.says), std::string::npos) << joined << "-> " << error;
    }
}

// Beside an output that is fine on its own.
TEST(CaptureOptionsTest, RefusesBadValuesWithAReason)
{
    expectRefused({"--out", "d"}, {
        {{"--size", "64"}, "--size: '64'"},
        {{"--size", "0x10"}, "--size"},
        {{"--size", "1x10"}, "--size"},
        {{"--size", "64x36x2"}, "--size"},
        {{"--size", "-64x36"}, "--size"},
        {{"--size", "64X36"}, "--size"},
        {{"--size", "20000x10"}, "--size"},
        {{"--fps", "0"}, "--fps: '0'"},
        {{"--fps", "29.97"}, "--fps"},
        {{"--fps", "1001"}, "--fps"},
        {{"--fps", "99999999999999999999"}, "--fps"},
        {{"--from", "-1"}, "--from: '-1'"},
        {{"--from", "nan"}, "--from"},
        {{"--to", "inf"}, "--to"},
        {{"--to", "12abc"}, "--to"},
        {{"--from", "5", "--to", "5"}, "--to must be greater than --from"},
        {{"--fps", "1000", "--to", "1e8"}, "frames"},
        {{"--scene", "nope"}, "unknown scene 'nope' (known: main, testcard)"},
        {{"--rows", "1,x"}, "--rows: 'x'"},
        {{"--rows", "1,"}, "--rows: ''"},
        {{"--rows", "1,1.0"}, "given twice"},
        {{"--frames", "5"}, "--frames: '5' is not FIRST:END"},
        {{"--frames", "5:5"}, "--frames: '5:5'"},
        {{"--frames", "6:5"}, "--frames"},
        {{"--frames", "-1:5"}, "--frames"},
        {{"--frames", ":5"}, "--frames"},
        {{"--frames", "0:10000001"}, "--frames"},
        {{"--y4m", "v.y4m"}, "--out and --y4m"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"stray"}, "unexpected argument 'stray'"},
    });
}

// Lines whose options are wrong together, or missing, or given twice.
TEST(CaptureOptionsTest, RefusesLinesThatDoNotAddUpWithAReason)
{
    expectRefused({}, {
        {{"--rows", "1"}, "--rows needs --out"},
        {{"--rows", "1", "--out", "d", "--y4m", "v.y4m"}, "--out and --y4m"},
        {{"--rows", "1", "--out", "d", "--wav", "a.wav"}, "--rows renders single rows"},
        {{"--rows", "1", "--out", "d", "--from", "2"}, "--rows renders single rows"},
        {{"--bench", "10", "--out", "d"}, "--bench renders without writing"},
        {{"--frames", "0:2"}, "nothing to do"},
        {{"--frames", "0:2", "--out", "d", "--rows", "1"}, "--frames renders part of a span"},
        {{"--frames", "0:2", "--bench", "3"}, "--frames renders part of a span"},
        {{"--frames", "0:2", "--y4m", "v", "--wav", "a.wav"}, "--frames renders part of a span"},
        {{"--bench", "0"}, "--bench: '0'"},
        {{"--plan", "--out", "d"}, "--plan prints the span's plan"},
        {{"--plan", "--y4m", "-"}, "--plan prints the span's plan"},
        {{"--plan", "--bench", "3"}, "--plan prints the span's plan"},
        {{"--plan", "--rows", "1", "--out", "d"}, "--plan prints the span's plan"},
        {{"--plan", "--frames", "0:2"}, "--plan prints the span's plan"},
        {{"--plan", "--plan"}, "--plan is given more than once"},
        {{}, "nothing to do"},
        {{"--fps", "30"}, "nothing to do"},
        {{"--wav", "-"}, "--wav needs a file name"},
        {{"--wav", "x", "--y4m", "x"}, "the same file"},
        {{"--out"}, "--out needs a value"},
        {{"--out", ""}, "--out needs a non-empty value"},
        {{"--out", "a", "--out", "b"}, "--out is given more than once"},
    });
}

TEST(CaptureOptionsTest, WavAndY4mThatAreOneFileAreRefusedHoweverTheyAreSpelled)
{
    testsupport::ScratchDir scratch;
    const std::string wav = scratch.write("x.wav", "");
    std::filesystem::create_symlink("x.wav", scratch.path() / "link.y4m");
    const std::string dir = scratch.path().string();
    struct Case {
        std::string wav;
        std::string y4m;
        bool same;
    } const cases[] = {
        {wav, dir + "/./x.wav", true},
        {wav, dir + "/sub/../x.wav", true},
        {wav, dir + "/link.y4m", true},
        {dir + "/new.wav", dir + "//new.wav", true},
        {wav, dir + "/x.y4m", false},
        {dir + "/a.wav", dir + "/b.y4m", false},
    };
    std::filesystem::create_directories(scratch.path() / "sub");
    for (const Case& c : cases) {
        CaptureOptions o;
        std::string error;
        const ParseResult result = parse({"--wav", c.wav, "--y4m", c.y4m}, o, error);
        EXPECT_EQ(result, c.same ? ParseResult::Error : ParseResult::Ok) << c.wav << " " << c.y4m << ": " << error;
        if (c.same) {
            EXPECT_NE(error.find("are the same file"), std::string::npos) << error;
        }
    }
}

} // namespace
