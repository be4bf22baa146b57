// The show: start-up in the order the assets need (window, music, sync data, the main
// scene, then the music starts; the frame loop takes the first report time and then
// opens the end track), the frame loop, and "Terminate".
#include <cstdio>
#include <iostream>
#include <string>

#include "base/StopSignal.h"
#include "runtime/Demo.h"
#include "runtime/FrameLoop.h"

namespace {
constexpr double initialFrameTimeMs = 16.5;
} // namespace

int main(int argc, char** argv)
{
    // First, so that Ctrl-C during the loading ends the show after its first frame.
    Tarvo::installStopSignals();
    std::cout << "Initializations " << argc << std::endl;
    for (int i = 0; i < argc; ++i)
        std::cout << i << ": " << argv[i] << std::endl;
    const bool windowed = argc >= 2 && std::string(argv[1]) == "windowed";

    try {
        gDemo = new Tarvo::aDemo(windowed);
    } catch (const Tarvo::StartupError& error) {
        if (*error.what())
            std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    gDemo->createScene();
    gDemo->startMusic();
    gDemo->setFrameTime(initialFrameTimeMs);

    Tarvo::WindowFrameHost host;
    Tarvo::runFrameLoop(*gDemo, host, gDemo->getSync(), std::cout);

    std::cout << "Terminate" << std::endl;
    return Tarvo::stopRequested() ? Tarvo::stopExitStatus() : 0;
}
