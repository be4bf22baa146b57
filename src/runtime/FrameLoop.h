// The show's frame loop: one pass per frame until the end track drops to 1.0 or less,
// Escape is pressed or the window is closed. The window side sits behind FrameHost so
// the loop's pacing, reports and end rules can be driven by a test.
#pragma once

#include <iosfwd>

#include "sync/Sync.h"

namespace Tarvo {

class aDemo;

class FrameHost {
public:
    virtual double now() = 0;          // seconds on a monotonic clock
    virtual void swap() = 0;           // shows the frame and processes window events
    virtual bool escapePressed() = 0;
    virtual bool windowOpen() = 0;
    // Whether the process was asked to stop (Ctrl-C, SIGTERM); hosts without signals of
    // their own keep this.
    virtual bool stopRequested();

protected:
    ~FrameHost() = default;
};

// The real window.
class WindowFrameHost : public FrameHost {
public:
    double now() override;
    void swap() override;
    bool escapePressed() override;
    bool windowOpen() override;
};

// The last two steps of start-up, then frames until the show ends (or the host is asked
// to stop): the first reporting
// period starts, then the end track "e" is opened from tracks (null: no end track), then
// the loop runs. The once-a-second frame-time lines go to log. Returns the number of
// frames drawn, which is at least one.
// The show also ends when started music has played to its end; when that will come before
// the end track drops, the loop says so as it starts.
long runFrameLoop(aDemo& demo, FrameHost& host, Sync* tracks, std::ostream& log);

// Where the next frame-time period starts after a report at now, the pass before having
// read the clock at previousPass: one period after reportStart while the loop keeps up,
// now once a single frame has taken a whole period or more.
double nextReportStart(double reportStart, double previousPass, double now);

// Says so on log when music of musicRows rows (negative: none) ends before the end track
// drops.
void warnIfMusicEndsFirst(double musicRows, const TrackHandle& endTrack, std::ostream& log);

} // namespace Tarvo
