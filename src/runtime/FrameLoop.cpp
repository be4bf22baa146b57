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

FrameLoop::FrameLoop(aDemo& demo, FrameHost& host, Sync* tracks, std::ostream& log)
    : demo(demo), host(host), log(log), reportStart(host.now())
{
    // Opened after the clock is read: loading the file (and printing its SYNC TRACK line)
    // belongs to the first reporting period.
    endTrack = tracks ? tracks->getTrack("e") : TrackHandle();
    warnIfMusicEndsFirst(demo.getMusicRows(), endTrack, log);
    previousPass = reportStart;
}

bool FrameLoop::step()
{
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
    if (!drawFrame(demo, FrameRow::fromMusic(), [this] { return host.now(); }))
        return false;
    host.swap();
    ++drawn;

    // Tested after the swap, so at least one frame is always shown.
    if (showtime::endsShowAt(endTrack, demo.getRow()))
        return false;
    if (host.escapePressed())
        return false;
    if (!host.windowOpen())
        return false;
    if (host.stopRequested())
        return false;
    // Music shorter than the timeline: the row stops with it, so the show would hold
    // its last frame for ever.
    return !demo.musicEnded();
}

long runFrameLoop(aDemo& demo, FrameHost& host, Sync* tracks, std::ostream& log)
{
    FrameLoop loop(demo, host, tracks, log);
    while (loop.step()) {
    }
    return loop.framesDrawn();
}

} // namespace Tarvo
