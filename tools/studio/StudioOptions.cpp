#include "studio/StudioOptions.h"

#include <algorithm>

#include "capture/CaptureOptions.h"
#include "studio/Command.h"

namespace studio {

OptionsResult parseStudioArgs(const std::vector<std::string>& args, const std::vector<std::string>& knownScenes,
    StudioOptions& options, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h")
            return OptionsResult::Help;
        if (name == "--timings" && !hasValue) {
            options.timings = true;
            continue;
        }
        if (name != "--scene" && name != "--size") {
            error = "unknown argument '" + args[i] + "'";
            return OptionsResult::Error;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return OptionsResult::Error;
            }
            value = args[++i];
        }
        if (name == "--scene") {
            if (std::find(knownScenes.begin(), knownScenes.end(), value) == knownScenes.end()) {
                error = "--scene: unknown scene '" + value + "'";
                return OptionsResult::Error;
            }
            options.scene = value;
        } else if (!capture::parseSize(value, options.width, options.height)) {
            error = "--size: '" + value + "' is not WxH with both sides from " + std::to_string(capture::minSide) +
                " to " + std::to_string(capture::maxSide);
            return OptionsResult::Error;
        }
    }
    return OptionsResult::Ok;
}

std::string studioUsage(const std::vector<std::string>& knownScenes)
{
    std::string scenes;
    for (const std::string& scene : knownScenes)
        scenes += (scenes.empty() ? "" : ", ") + scene;
    return "usage: vantor-studio [--scene NAME] [--size WxH] [--timings]\n"
           "Runs a scene from ./data with the music as the clock, reloading the timeline and\n"
           "shaders when they are saved.\n"
           "  --scene NAME  " + scenes + " (default main)\n"
           "  --size WxH    window size (default 1280x720)\n"
           "  --timings     print reload, seek and file-watch timings on standard error\n"
           "Keys: Space pause/play, Left/Right one bar (Shift: eight), Home row 0,\n"
           "      [ and ] loop start and end at the current bar, L loop on/off, Tab overlay,\n"
           "      Escape quit.\n"
           "Standard input, one command a line: " + std::string(commandList()) + ".\n"
           "Standard output, one line per reload: reload timeline ok N tracks,\n"
           "      reload timeline failed FILE:LINE: MESSAGE, reload shader ok PATH,\n"
           "      reload shader failed PATH (the compile log follows on standard error).\n";
}

} // namespace studio
