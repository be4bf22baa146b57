#include "runtime/FrameLoop.h"

#include <GL/glew.h>

#include <ostream>

#include "audio/BassAudio.h"
#include "runtime/Demo.h"
#include "runtime/Window.h"

namespace Tarvo {

namespace {
constexpr float endThreshold = 1.0f;
constexpr double reportPeriod = 1.0;
} // namespace

double WindowFrameHost::now()
{
    return windowTime();
}

void WindowFrameHost::swap()
{
    swapBuffers();
}

bool WindowFrameHost::escapePressed()
{
    return Tarvo::escapePressed();
}

bool WindowFrameHost::windowOpen()
{
    return Tarvo::windowOpen();
}

long runFrameLoop(aDemo& demo, FrameHost& host, Sync* tracks, std::ostream& log)
{
    double reportStart = host.now();
    // Opened after the clock is read: loading the file (and printing its SYNC TRACK line)
    // belongs to the first reporting period.
    const TrackHandle endTrack = tracks ? tracks->getTrack("e") : TrackHandle();
    int frames = 0;
    long drawn = 0;
    for (;;) {
        const double now = host.now();
        ++frames;
        if (now - reportStart >= reportPeriod) {
            const double ms = (now - reportStart) * 1000.0 / static_cast<double>(frames);
            log << ms << " ms/frame" << std::endl;
            demo.setFrameTime(ms);
            frames = 0;
            // Advancing by exactly one period keeps the reports back to back even when a
            // frame overruns: a long frame is followed by a report on the next pass.
            reportStart += reportPeriod;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (!demo.updateRow())
            break;
        demo.run(host.now());
        BASS_Update(0);
        host.swap();
        ++drawn;

        // Tested after the swap, so at least one frame is always shown.
        if (!(endTrack.getValue(demo.getRow()) > endThreshold))
            break;
        if (host.escapePressed())
            break;
        if (!host.windowOpen())
            break;
    }
    return drawn;
}

} // namespace Tarvo
