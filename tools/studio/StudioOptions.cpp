#include "studio/StudioOptions.h"

#include <algorithm>

#include "base/CommandLine.h"
#include "studio/Command.h"

namespace studio {

using Tarvo::ParseResult;

ParseResult parseStudioArgs(const std::vector<std::string>& args, const std::vector<std::string>& knownScenes,
    StudioOptions& options, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        Tarvo::OptionWord option = Tarvo::splitOption(args[i]);
        const std::string& name = option.name;
        if (name == "--help" || name == "-h")
            return ParseResult::Help;
        if ((name == "--timings" || name == "--paused" || name == "--no-remember") && !option.inlineValue) {
            options.timings = options.timings || name == "--timings";
            options.paused = options.paused || name == "--paused";
            options.remember = options.remember && name != "--no-remember";
            continue;
        }
        if (name != "--scene" && name != "--size" && name != "--row" && name != "--loop" && name != "--tracks") {
            error = "unknown argument '" + args[i] + "'";
            return ParseResult::Error;
        }
        if (!Tarvo::takeOptionValue(args, i, option, error))
            return ParseResult::Error;
        const std::string& value = option.value;
        if (name == "--row") {
            if (!parseDecimal(value, options.row)) {
                error = "--row: '" + value + "' is not a row (a decimal number)";
                return ParseResult::Error;
            }
            options.hasRow = true;
        } else if (name == "--loop") {
            const size_t colon = value.find(':');
            if (colon == std::string::npos || !parseDecimal(value.substr(0, colon), options.loopFrom) ||
                !parseDecimal(value.substr(colon + 1), options.loopTo) || !(options.loopTo > options.loopFrom)) {
                error = "--loop: '" + value + "' is not FROM:TO (rows, FROM below TO)";
                return ParseResult::Error;
            }
            options.hasLoop = true;
        } else if (name == "--tracks") {
            options.tracks.clear();
            size_t start = 0;
            for (;;) {
                const size_t comma = value.find(',', start);
                options.tracks.push_back(value.substr(start, comma - start));
                if (options.tracks.back().empty()) {
                    error = "--tracks: '" + value + "' is not track names separated by commas";
                    return ParseResult::Error;
                }
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else if (name == "--scene") {
            if (std::find(knownScenes.begin(), knownScenes.end(), value) == knownScenes.end()) {
                error = "--scene: unknown scene '" + value + "'";
                return ParseResult::Error;
            }
            options.scene = value;
        } else if (!Tarvo::parseFrameSize(value, options.width, options.height)) {
            error = Tarvo::frameSizeError(value);
            return ParseResult::Error;
        }
    }
    return ParseResult::Ok;
}

std::string studioUsage(const std::vector<std::string>& knownScenes)
{
    std::string scenes;
    for (const std::string& scene : knownScenes)
        scenes += (scenes.empty() ? "" : ", ") + scene;
    return "usage: vantor-studio [--scene NAME] [--size WxH] [--row ROW] [--loop FROM:TO] [--paused]\n"
           "                     [--no-remember] [--tracks a,b,...] [--timings]\n"
           "Runs a scene from ./data with the music as the clock, reloading the timeline and\n"
           "shaders when they are saved, and edits the timeline's keys.\n"
           "  --scene NAME    " + scenes + " (default main)\n"
           "  --size WxH      window size (default 1280x720)\n"
           "  --row ROW       start at the row (default: where the scene was left)\n"
           "  --loop FROM:TO  start looping these rows\n"
           "  --paused        start paused\n"
           "  --no-remember   neither use nor keep the last row and loop (kept per scene in\n"
           "                  ./.vantor-studio)\n"
           "  --tracks LIST   the track view's columns (default: every track)\n"
           "  --timings       print reload, seek and file-watch timings on standard error\n"
           "Keys: Space pause/play, Left/Right one bar (Shift: eight), Home row 0,\n"
           "      [ and ] loop start and end at the current bar, L loop on/off, M mute,\n"
           "      Tab overlay / track view / nothing, F12 screenshot, Ctrl+Z/Ctrl+Y undo/redo,\n"
           "      Ctrl+S save, Escape quit. The track view's keys: tools/studio/README.md.\n"
           "Standard input, one command a line: " + std::string(commandList()) + ".\n"
           "Standard output, one line per reload: reload timeline ok N tracks,\n"
           "      reload timeline failed FILE:LINE: MESSAGE, reload shader ok PATH,\n"
           "      reload shader failed PATH (the compile log follows on standard error).\n";
}

} // namespace studio
