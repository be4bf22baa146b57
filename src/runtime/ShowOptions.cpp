#include "runtime/ShowOptions.h"

#include "base/CommandLine.h"

namespace Tarvo {

namespace {

constexpr long maxDisplay = 64;

} // namespace

ShowArgs parseShowArgs(const std::vector<std::string>& args, ShowOptions& options, std::string& error)
{
    options.windowed = !args.empty() && args[0] == "windowed";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-')
            continue;
        if (arg == "--help" || arg == "-h" || arg == "/?")
            return ShowArgs::Help;
        OptionWord option = splitOption(arg);
        const std::string& name = option.name;
        if (name != "--size" && name != "--display" && name != "--vsync") {
            error = "unknown option '" + arg + "'";
            return ShowArgs::Error;
        }
        if (!takeOptionValue(args, i, option, error))
            return ShowArgs::Error;
        const std::string& value = option.value;
        if (name == "--size") {
            if (!parseFrameSize(value, options.width, options.height)) {
                error = frameSizeError(value);
                return ShowArgs::Error;
            }
        } else if (name == "--display") {
            long display = 0;
            if (!parseWholeNumber(value, 1, maxDisplay, display)) {
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
