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

// The show's loop one pass at a time, for hosts that cannot block in a loop of their own (a
// browser calls step once per animation frame). Construction takes the last two steps of
// start-up: the first reporting period starts, then the end track "e" is opened from tracks
// (null: no end track). The once-a-second frame-time lines go to log.
// The show also ends when started music has played to its end; when that will come before
// the end track drops, the loop says so as it starts.
class FrameLoop {
public:
    FrameLoop(aDemo& demo, FrameHost& host, Sync* tracks, std::ostream& log);

    // Draws and shows one frame; false once the show has ended (its last frame is shown).
    bool step();
    long framesDrawn() const { return drawn; }

private:
    aDemo& demo;
    FrameHost& host;
    std::ostream& log;
    TrackHandle endTrack;
    double reportStart;
    double previousPass;
    int frames = 0;
    long drawn = 0;
};

// The frame loop run to its end (or until the host is asked to stop). Returns the number
// of frames drawn, which is at least one.
long runFrameLoop(aDemo& demo, FrameHost& host, Sync* tracks, std::ostream& log);

// Where the next frame-time period starts after a report at now, the pass before having
// read the clock at previousPass: one period after reportStart while the loop keeps up,
// now once a single frame has taken a whole period or more.
double nextReportStart(double reportStart, double previousPass, double now);

// Says so on log when music of musicRows rows (negative: none) ends before the end track
// drops.
void warnIfMusicEndsFirst(double musicRows, const TrackHandle& endTrack, std::ostream& log);

} // namespace Tarvo
