#include "runtime/FrameLoop.h"

#include <ostream>

#include "base/StopSignal.h"
#include "runtime/Demo.h"
#include "runtime/Frame.h"
#include "runtime/Window.h"
#include "sync/ShowTime.h"

namespace Tarvo {

namespace {
constexpr double reportPeriod = 1.0;
} // namespace

double nextReportStart(double reportStart, double previousPass, double now)
{
    // While the loop keeps up, advancing by exactly one period keeps the periods back to
    // back. A frame that took a whole period or more has put the loop a period behind for
    // good: advancing by one would leave each later period starting further in the past
    // and the line (and the motion blur that reads it) climbing without bound, so the next
    // period starts now.
    if (now - previousPass >= reportPeriod)
        return now;
    return reportStart + reportPeriod;
}

void warnIfMusicEndsFirst(double musicRows, const TrackHandle& endTrack, std::ostream& log)
{
    if (musicRows < 0.0 || !showtime::showEnd(endTrack, 0.0, musicRows).musicFirst)
        return;
    log << "The music ends at row " << musicRows
        << ", before the end track \"e\" drops to 1.0: the show ends with the music" << std::endl;
}

bool FrameHost::stopRequested()
{
    return Tarvo::stopRequested();
}

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
    warnIfMusicEndsFirst(demo.getMusicRows(), endTrack, log);
    int frames = 0;
    long drawn = 0;
    double previousPass = reportStart;
    for (;;) {
        const double now = host.now();
        ++frames;
        if (now - reportStart >= reportPeriod) {
            const double ms = (now - reportStart) * 1000.0 / static_cast<double>(frames);
            log << ms << " ms/frame" << std::endl;
            demo.setFrameTime(ms);
            frames = 0;
            reportStart = nextReportStart(reportStart, previousPass, now);
        }
        previousPass = now;
        if (!drawFrame(demo, FrameRow::fromMusic(), [&host] { return host.now(); }))
            break;
        host.swap();
        ++drawn;

        // Tested after the swap, so at least one frame is always shown.
        if (showtime::endsShowAt(endTrack, demo.getRow()))
            break;
        if (host.escapePressed())
            break;
        if (!host.windowOpen())
            break;
        if (host.stopRequested())
            break;
        // Music shorter than the timeline: the row stops with it, so the show would hold
        // its last frame for ever.
        if (demo.musicEnded())
            break;
    }
    return drawn;
}

} // namespace Tarvo
