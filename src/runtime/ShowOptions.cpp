#include "runtime/ShowOptions.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace Tarvo {

namespace {

constexpr long minSide = 2;
constexpr long maxSide = 16384;
constexpr long maxDisplay = 64;

bool parseWhole(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

} // namespace

bool parseFrameSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !parseWhole(text.substr(0, x), minSide, maxSide, w) ||
        !parseWhole(text.substr(x + 1), minSide, maxSide, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

ShowArgs parseShowArgs(const std::vector<std::string>& args, ShowOptions& options, std::string& error)
{
    options.windowed = !args.empty() && args[0] == "windowed";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-')
            continue;
        if (arg == "--help" || arg == "-h" || arg == "/?")
            return ShowArgs::Help;
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        const size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        }
        if (name != "--size" && name != "--display" && name != "--vsync") {
            error = "unknown option '" + arg + "'";
            return ShowArgs::Error;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return ShowArgs::Error;
            }
            value = args[++i];
        }
        if (name == "--size") {
            if (!parseFrameSize(value, options.width, options.height)) {
                error = "--size: '" + value + "' is not WxH with both sides from " + std::to_string(minSide) +
                        " to " + std::to_string(maxSide);
                return ShowArgs::Error;
            }
        } else if (name == "--display") {
            long display = 0;
            if (!parseWhole(value, 1, maxDisplay, display)) {
                error = "--display: '" + value + "' is not a display number from 1 to " + std::to_string(maxDisplay);
                return ShowArgs::Error;
            }
            options.display = static_cast<int>(display);
        } else if (value == "on" || value == "off") {
            options.swapSync = value == "on" ? SwapSync::On : SwapSync::Off;
        } else {
            error = "--vsync: '" + value + "' is neither on nor off";
            return ShowArgs::Error;
        }
    }
    return ShowArgs::Run;
}

std::string showUsage()
{
    return "usage: vantor [windowed] [--size WxH] [--display N] [--vsync on|off] [--help]\n"
           "  windowed        show in a window instead of full screen (first word only)\n"
           "  --size WxH      the size the show renders at (default 1920x1080); the picture\n"
           "                  is scaled to the screen or window with its shape kept\n"
           "  --display N     the monitor to show on, counted from 1 (default: the primary)\n"
           "  --vsync on|off  wait for the display's refresh between frames, or not\n"
           "                  (default: the graphics driver's setting)\n"
           "  --help          this text\n"
           "Escape or closing the window ends the show. The show reads data/ in the working\n"
           "folder, or else the one beside the program.\n";
}

} // namespace Tarvo
