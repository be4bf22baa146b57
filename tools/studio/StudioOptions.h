// vantor-studio's command line: which scene, the window's size, and whether to print the
// timings the benchmark reads.
#pragma once

#include <string>
#include <vector>

#include "base/CommandLine.h"

namespace studio {

struct StudioOptions {
    std::string scene = "main";
    int width = 1280;
    int height = 720;
    // On standard error: when each reload was first shown, when each seek landed, and the
    // watcher's cost per frame at the end.
    bool timings = false;
    // Where to start; each overrides what was remembered for the scene.
    bool hasRow = false;
    double row = 0.0;
    bool hasLoop = false;
    double loopFrom = 0.0;
    double loopTo = 0.0;
    bool paused = false;
    // Remember the last row and loop per scene between runs (--no-remember turns it off).
    bool remember = true;
    // The track view's columns; empty: every track of the timeline.
    std::vector<std::string> tracks;
};

// Parses argv[1..]; options take their value as the next argument or after '='. On Error,
// error holds a one-line reason.
Tarvo::ParseResult parseStudioArgs(const std::vector<std::string>& args, const std::vector<std::string>& knownScenes,
    StudioOptions& options, std::string& error);

std::string studioUsage(const std::vector<std::string>& knownScenes);

} // namespace studio
