// What the show and its tools read their command lines with: an option's value given as
// "--name=value" or as the next argument, and numbers where the whole text must be the
// number, so that "12abc", " 12" or an empty word is refused rather than half read.
#pragma once

#include <cstddef>
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

} // namespace Tarvo
