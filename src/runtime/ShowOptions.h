// The show's command line. The first word "windowed" selects a window, exactly as it always
// has; the options beside it (--size, --display, --vsync, --help) are this program's own
// additions. Words that are not options are logged and otherwise ignored; an option that
// is not known is an error, so a typo never starts the full-screen show.
#pragma once

#include <string>
#include <vector>

#include "runtime/Window.h"

namespace Tarvo {

struct ShowOptions {
    bool windowed = false;
    int width = 1920; // the frame size the show renders at
    int height = 1080;
    int display = 0;  // 0: the primary display
    SwapSync swapSync = SwapSync::DriverDefault;
};

enum class ShowArgs { Run, Help, Error };

// Reads argv[1..]. Options take their value as the next argument or after '='. On Error,
// error holds a one-line reason.
ShowArgs parseShowArgs(const std::vector<std::string>& args, ShowOptions& options, std::string& error);

std::string showUsage();

} // namespace Tarvo
