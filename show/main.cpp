// The show: start-up in the order the assets need (window, music, sync data, the main
// scene, then the music starts; the frame loop takes the first report time and then
// opens the end track), the frame loop, and "Terminate".
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "base/StopSignal.h"
#include "engine/GlLimits.h"
#include "runtime/Console.h"
#include "runtime/DataFolder.h"
#include "runtime/Demo.h"
#include "runtime/FrameLoop.h"
#include "runtime/ShowOptions.h"

namespace {
constexpr double initialFrameTimeMs = 16.5;

// A start-up that cannot go on: the reason stays readable in a console of its own.
int failedStart()
{
    Tarvo::holdOwnConsole();
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    // First, so that Ctrl-C during the loading ends the show after its first frame.
    Tarvo::installStopSignals();
    Tarvo::ShowOptions options;
    std::string error;
    switch (Tarvo::parseShowArgs(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    case Tarvo::ShowArgs::Help:
        std::cout << Tarvo::showUsage();
        return 0;
    case Tarvo::ShowArgs::Error:
        std::cerr << "vantor: " << error << "\n" << Tarvo::showUsage();
        return 2;
    case Tarvo::ShowArgs::Run:
        break;
    }

    std::cout << "Initializations " << argc << std::endl;
    for (int i = 0; i < argc; ++i)
        std::cout << i << ": " << argv[i] << std::endl;
    if (!Tarvo::enterDataFolder(argc > 0 ? argv[0] : nullptr, std::cerr))
        return failedStart();

    Tarvo::DemoOptions demo;
    demo.windowed = options.windowed;
    demo.display = options.display;
    demo.swapSync = options.swapSync;
    try {
        gDemo = new Tarvo::aDemo(options.width, options.height, demo);
    } catch (const Tarvo::StartupError& error) {
        if (*error.what())
            std::fprintf(stderr, "%s\n", error.what());
        return failedStart();
    }
    // The scenes render at the frame size; beyond what this GL can draw they would fail
    // one GL call at a time.
    if (const std::string why = Tarvo::sizeBeyondGlLimits(options.width, options.height); !why.empty()) {
        std::fprintf(stderr, "vantor: --size %s\n", why.c_str());
        return 2;
    }
    gDemo->createScene();
    gDemo->startMusic();
    gDemo->setFrameTime(initialFrameTimeMs);

    Tarvo::WindowFrameHost host;
    Tarvo::runFrameLoop(*gDemo, host, gDemo->getSync(), std::cout);

    std::cout << "Terminate" << std::endl;
    return Tarvo::stopRequested() ? Tarvo::stopExitStatus() : 0;
}
