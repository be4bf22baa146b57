// The show: start-up, then one frame per pass until the end track drops to 1.0, Escape
// is pressed or the window is closed. The music's position drives every frame.
#include <GL/glew.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "runtime/BassAudio.h"
#include "runtime/Demo.h"
#include "runtime/Window.h"
#include "sync/Sync.h"

namespace {
constexpr double initialFrameTimeMs = 16.5;
constexpr float endThreshold = 1.0f;
} // namespace

int main(int argc, char** argv)
{
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

    double reportStart = Tarvo::windowTime();
    int frames = 0;
    const TrackHandle endTrack = gDemo->getSync() ? gDemo->getSync()->getTrack("e") : TrackHandle();

    for (;;) {
        const double now = Tarvo::windowTime();
        ++frames;
        if (now - reportStart >= 1.0) {
            const double ms = (now - reportStart) * 1000.0 / static_cast<double>(frames);
            std::cout << ms << " ms/frame" << std::endl;
            gDemo->setFrameTime(ms);
            frames = 0;
            // Advancing by exactly one second keeps the report periods back to back even
            // when a frame overruns.
            reportStart += 1.0;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (!gDemo->updateRow())
            break;
        gDemo->run(Tarvo::windowTime());
        BASS_Update(0);
        Tarvo::swapBuffers();

        if (!(endTrack.getValue(gDemo->getRow()) > endThreshold))
            break;
        if (Tarvo::escapePressed())
            break;
        if (!Tarvo::windowOpen())
            break;
    }
    std::cout << "Terminate" << std::endl;
    return 0;
}
