// The command-line reading the show, capture and studio share: both ways of giving a value,
// numbers refused unless the whole word is the number, and a tool that runs only on
// arguments it read whole.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/CommandLine.h"
#include "support/CapturedOutput.h"

namespace {

using namespace Tarvo;

TEST(CommandLine, AValueComesAfterTheEqualsSignOrAsTheNextArgument)
{
    const std::vector<std::string> args = {"--size=64x36", "--fps", "30", "-x=1", "--out"};
    std::string error;
    std::size_t i = 0;
    OptionWord inlined = splitOption(args[i]);
    ASSERT_TRUE(takeOptionValue(args, i, inlined, error));
    EXPECT_EQ(inlined.name, "--size");
    EXPECT_EQ(inlined.value, "64x36");
    EXPECT_EQ(i, 0u) << "an inline value uses no next argument";

    OptionWord next = splitOption(args[++i]);
    ASSERT_TRUE(takeOptionValue(args, i, next, error));
    EXPECT_EQ(next.value, "30");
    EXPECT_EQ(i, 2u);

    EXPECT_EQ(splitOption(args[3]).name, "-x=1") << "only long options split at '='";
    EXPECT_EQ(splitOption("--to=").value, "");
    EXPECT_TRUE(splitOption("--to=").inlineValue);

    i = 4;
    OptionWord last = splitOption(args[i]);
    EXPECT_FALSE(takeOptionValue(args, i, last, error));
    EXPECT_EQ(error, "--out needs a value");
    EXPECT_EQ(i, 4u);
}

TEST(CommandLine, WholeNumbersAreTheWholeWordWithinTheirRange)
{
    long value = 7;
    EXPECT_TRUE(parseWholeNumber("-3", -5, 5, value));
    EXPECT_EQ(value, -3);
    EXPECT_TRUE(parseWholeNumber("5", -5, 5, value));
    for (const char* bad : {"", "-", "6", "-6", " 1", "\t1", "+1", "1 ", "1x", "0x1", "1.0", "99999999999999999999"}) {
        value = 7;
        EXPECT_FALSE(parseWholeNumber(bad, -5, 5, value)) << "'" << bad << "'";
        EXPECT_EQ(value, 7) << "left alone on '" << bad << "'";
    }
}

TEST(CommandLine, FrameSizesRunFromTwoToTheLargestTextureOnBothSides)
{
    int width = 0, height = 0;
    EXPECT_TRUE(parseFrameSize("2x16384", width, height));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 16384);
    for (const char* bad : {"1x10", "10x16385", "64", "64X36", "64x36x2", "-64x36", "x36", "64x"}) {
        width = height = 0;
        EXPECT_FALSE(parseFrameSize(bad, width, height)) << bad;
        EXPECT_EQ(width + height, 0) << "left alone on " << bad;
    }
    EXPECT_EQ(frameSizeError("64"), "--size: '64' is not WxH with both sides from 2 to 16384");
}

TEST(CommandLine, AToolAnswersHelpOnStandardOutputAndAnErrorOnStandardErrorWithStatusTwo)
{
    using testsupport::CapturedOutput;
    CapturedOutput helpOut;
    EXPECT_EQ(answerWithoutRunning(true, "vantor-tool", "usage: vantor-tool\n", ""), 0);
    EXPECT_EQ(helpOut.take(), "usage: vantor-tool\n");

    CapturedOutput errorOut(CapturedOutput::Stream::err);
    CapturedOutput quietOut;
    EXPECT_EQ(answerWithoutRunning(false, "vantor-tool", "usage: vantor-tool\n", "--fps needs a value"), 2);
    EXPECT_EQ(quietOut.take(), "") << "no usage text with an error";
    EXPECT_EQ(errorOut.take(), "vantor-tool: --fps needs a value\n(vantor-tool --help lists the options)\n");
}

// A tool whose only option is --scene NAME, read as the capture and the studio read theirs.
ParseResult readSceneOption(const std::vector<std::string>& args, const std::vector<std::string>& knownScenes,
    std::string& scene, std::string& error)
{
    for (const std::string& arg : args) {
        if (arg == "--help")
            return ParseResult::Help;
        if (std::find(knownScenes.begin(), knownScenes.end(), arg) == knownScenes.end()) {
            error = "unknown scene '" + arg + "'";
            return ParseResult::Error;
        }
        scene = arg;
    }
    return ParseResult::Ok;
}

std::string sceneUsage(const std::vector<std::string>& knownScenes)
{
    return "usage: vantor-tool [" + knownScenes.front() + "|" + knownScenes.back() + "]\n";
}

TEST(CommandLine, AToolRunsOnlyWhenItsArgumentsReadWhole)
{
    using testsupport::CapturedOutput;
    const std::vector<std::string> scenes = {"main", "toy"};
    char program[] = "vantor-tool";
    char toy[] = "toy";
    char help[] = "--help";
    char bad[] = "nope";

    std::string scene;
    char* runs[] = {program, toy};
    EXPECT_EQ(readToolOptions(2, runs, "vantor-tool", scenes, readSceneOption, sceneUsage, scene), std::nullopt);
    EXPECT_EQ(scene, "toy") << "the program's own name is not an argument";

    CapturedOutput helpOut;
    char* asksHelp[] = {program, help};
    EXPECT_EQ(readToolOptions(2, asksHelp, "vantor-tool", scenes, readSceneOption, sceneUsage, scene), 0);
    EXPECT_EQ(helpOut.take(), "usage: vantor-tool [main|toy]\n");

    CapturedOutput errorOut(CapturedOutput::Stream::err);
    char* refused[] = {program, bad};
    EXPECT_EQ(readToolOptions(2, refused, "vantor-tool", scenes, readSceneOption, sceneUsage, scene), 2);
    EXPECT_EQ(errorOut.take(), "vantor-tool: unknown scene 'nope'\n(vantor-tool --help lists the options)\n");
}

} // namespace
