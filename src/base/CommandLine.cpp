#include "base/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace Tarvo {

OptionWord splitOption(const std::string& arg)
{
    const std::size_t equals = arg.find('=');
    if (arg.rfind("--", 0) != 0 || equals == std::string::npos)
        return {arg, {}, false};
    return {arg.substr(0, equals), arg.substr(equals + 1), true};
}

bool takeOptionValue(const std::vector<std::string>& args, std::size_t& i, OptionWord& option, std::string& error)
{
    if (option.inlineValue)
        return true;
    if (i + 1 >= args.size()) {
        error = option.name + " needs a value";
        return false;
    }
    option.value = args[++i];
    return true;
}

bool parseWholeNumber(const std::string& text, long low, long high, long& value)
{
    // strtol would skip leading blanks and take a '+'; neither is a number as typed here.
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= digits || text[digits] < '0' || text[digits] > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseFrameSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !parseWholeNumber(text.substr(0, x), minFrameSide, maxFrameSide, w) ||
        !parseWholeNumber(text.substr(x + 1), minFrameSide, maxFrameSide, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::string frameSizeError(const std::string& value)
{
    return "--size: '" + value + "' is not WxH with both sides from " + std::to_string(minFrameSide) + " to " +
           std::to_string(maxFrameSide);
}

int answerWithoutRunning(bool help, const char* program, const std::string& usage, const std::string& error)
{
    if (help) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    std::fprintf(stderr, "%s: %s\n(%s --help lists the options)\n", program, error.c_str(), program);
    return 2;
}

} // namespace Tarvo
