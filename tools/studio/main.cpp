// vantor-studio: runs a scene of the show live, with the music as the clock, for working on
// it while it plays: transport keys and standard-input commands, and the timeline and
// shaders reloaded as they are saved. See --help.
#include <iostream>
#include <string>
#include <vector>

#include "base/CommandLine.h"
#include "base/StopSignal.h"
#include "runtime/DataFolder.h"
#include "scenes/SceneRegistry.h"
#include "studio/Studio.h"
#include "studio/StudioOptions.h"

int main(int argc, char** argv)
{
    // Ctrl-C and SIGTERM end the studio after the frame it is drawing.
    Tarvo::installStopSignals();
    studio::StudioOptions options;
    if (const std::optional<int> status = Tarvo::readToolOptions(argc, argv, "vantor-studio", OrvelDemo::sceneNames(),
            studio::parseStudioArgs, studio::studioUsage, options))
        return *status;
    if (!Tarvo::enterDataFolder(argv[0], std::cerr))
        return 1;
    return studio::runStudio(options);
}
