// What the show and its tools read their command lines with: an option's value given as
// "--name=value" or as the next argument, and numbers where the whole text must be the
// number, so that "12abc", " 12" or an empty word is refused rather than half read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace Tarvo {

// The sides a frame may be given on any command line.
inline constexpr int minFrameSide = 2;
inline constexpr int maxFrameSide = 16384;

// One argument read as an option: "--name=value" is split at its first '='; anything else
// is all name.
struct OptionWord {
    std::string name;
    std::string value;
    bool inlineValue = false;
};

OptionWord splitOption(const std::string& arg);

// Gives the option its value from the argument after args[i] (moving i on to it) unless
// the value came after '='. False, with error "NAME needs a value", when there is none.
bool takeOptionValue(const std::vector<std::string>& args, std::size_t& i, OptionWord& option, std::string& error);

// A whole number from low to high: digits after an optional '-', and nothing else.
bool parseWholeNumber(const std::string& text, long low, long high, long& value);
// "WxH" with both sides whole numbers from minFrameSide to maxFrameSide; width and height
// are left alone unless both are.
bool parseFrameSize(const std::string& text, int& width, int& height);
// The message for a --size value that parseFrameSize refused.
std::string frameSizeError(const std::string& value);

// How a tool answers a command line it will not run, and the status it exits with: for
// --help the usage on standard output and 0; for an error "PROGRAM: ERROR" and where the
// options are listed on standard error, and 2.
int answerWithoutRunning(bool help, const char* program, const std::string& usage, const std::string& error);

// What a tool's option reader makes of its command line.
enum class ParseResult { Ok, Help, Error };

// A tool's option reader and usage text; both name the scenes it may be given.
template <class Options>
using ToolOptionReader = ParseResult (*)(const std::vector<std::string>& args,
    const std::vector<std::string>& knownScenes, Options& options, std::string& error);
using ToolUsage = std::string (*)(const std::vector<std::string>& knownScenes);

// Reads a tool's arguments (argv after the program's name) into options. Nothing when the
// tool is to run; otherwise it has answered as answerWithoutRunning does, and this is the
// status to exit with.
template <class Options>
std::optional<int> readToolOptions(int argc, char** argv, const char* program, const std::vector<std::string>& knownScenes,
    ToolOptionReader<Options> read, ToolUsage usage, Options& options)
{
    std::string error;
    const ParseResult parsed = read(std::vector<std::string>(argv + 1, argv + argc), knownScenes, options, error);
    if (parsed == ParseResult::Ok)
        return std::nullopt;
    return answerWithoutRunning(parsed == ParseResult::Help, program, usage(knownScenes), error);
}

} // namespace Tarvo
