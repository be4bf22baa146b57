// vantor-capture: renders the show offline into PNG frames, a YUV4MPEG2 stream or a
// benchmark, and writes the music of the same span. See --help.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/CommandLine.h"
#include "base/StopSignal.h"
#include "capture/Capture.h"
#include "capture/CaptureOptions.h"
#include "capture/ResultStream.h"
#include "runtime/DataFolder.h"
#include "scenes/SceneRegistry.h"

int main(int argc, char** argv)
{
    const auto started = std::chrono::steady_clock::now();
    capture::ignoreBrokenPipes();
    // Ctrl-C and SIGTERM end the capture at the next frame, without its unfinished stream.
    Tarvo::installStopSignals();

    capture::CaptureOptions options;
    if (const std::optional<int> status = Tarvo::readToolOptions(argc, argv, "vantor-capture", OrvelDemo::sceneNames(),
            capture::parseCaptureArgs, capture::usageText, options))
        return *status;

    if (options.y4mPath == "-" && capture::stdoutIsTerminal()) {
        std::fprintf(stderr, "vantor-capture: --y4m - writes a video stream; pipe it into a program or give a file\n");
        return 2;
    }

    // Found before standard output changes hands: the line goes to standard error. Paths
    // the user gave stay where they meant them when the working folder moves to the data.
    const std::filesystem::path startedIn = std::filesystem::current_path();
    if (!Tarvo::enterDataFolder(argv[0], std::cerr))
        return 1;
    options.outDir = Tarvo::anchoredTo(startedIn, options.outDir);
    options.y4mPath = Tarvo::anchoredTo(startedIn, options.y4mPath);
    options.wavPath = Tarvo::anchoredTo(startedIn, options.wavPath);

    // The engine logs its start-up on standard output; here standard output carries the
    // capture's own results (a video stream, benchmark figures), so the logs move to
    // standard error and the results get the original stream to themselves.
    FILE* results = capture::takeStdoutForResults();
    if (!results) {
        std::fprintf(stderr, "vantor-capture: cannot set up standard output\n");
        return 1;
    }
    const int status = capture::runCapture(options, results, started);
    if (std::fflush(results) != 0 && status == 0)
        return 1;
    std::fflush(stdout);
    return status;
}
