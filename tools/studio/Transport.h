// The studio's transport: play and pause, seeks by row and by bar, and a loop, with the
// music as the clock. Every move goes to the music at once, so the row a frame reads after
// a command is already the new one. The music sits behind MusicClock, so tests drive the
// arithmetic with a fake clock or with the audio layer's silent one.
#pragma once

#include <string>

#include "sync/ShowTime.h"

class TrackHandle;

namespace studio {

inline constexpr double rowsPerBar = showtime::rowsPerBar;

// The music as the transport moves it.
class MusicClock {
public:
    virtual double row() = 0;          // where the music is, in rows
    virtual void seek(double row) = 0; // moves the music there; playing or paused, it stays so
    virtual void play() = 0;           // also restarts music that had played to its end
    virtual void pause() = 0;

protected:
    ~MusicClock() = default;
};

// Row arithmetic. Rows are fractional; bars are counted from 0 in code, from 1 on screen.
double clampRow(double row, double endRow); // into [0, endRow]; NaN gives 0
// The bar a row lies in. A row a hair below a bar line counts as on it: the music's
// position comes back from a seek to the nearest sample, which can fall just short.
long barOf(double row);
double barStart(long bar);
// Where a row that has played past a loop's end lands: back by whole loop lengths, so the
// loop keeps its beat however late the frame that noticed it.
double wrapRow(double row, double from, double to);
std::string barBeat(double row);   // "bar.beat", from 1: row 0 is "1.1", row 40 "2.2"
std::string clockTime(double row); // "m:ss.mmm" into the music

// The last row of the show by the show's end rule (showtime::showEnd), with two choices of
// the studio's own: without keys in "e" (no end track yet) the music plays to its end, and
// without music (negative musicRows) a track that never drops ends at its last key.
double showEnd(const TrackHandle& endTrack, double musicRows);

struct Loop {
    double from = 0.0;
    double to = rowsPerBar;
    bool on = false;
};

class Transport {
public:
    // Playing from where the music is.
    Transport(MusicClock& music, double endRow);

    double endRow() const { return end; }
    // The show's length changed (its timeline was reloaded): the next update stops the
    // music at the new end if it is past it. The loop is left as set; a loop reaching past
    // the end plays up to the end.
    void setEndRow(double row);
    bool paused() const { return isPaused; }
    // The row of the last update or move.
    double row() const { return lastRow; }
    const Loop& loop() const { return region; }

    // At the show's end, starts from the loop's start (looping) or row 0.
    void play();
    void pause();
    void togglePause();
    // Moves to the row, clamped to the show; returns the row moved to.
    double seek(double row);
    // Moves to the start of the bar that many bars from the one the row is in.
    double seekBars(long bars);
    // The loop starts at the current bar, or ends with it (the bar is inside the loop).
    // The other end moves if it would leave the loop empty.
    void markLoopStart();
    void markLoopEnd();
    void toggleLoop();
    // Loops rows [from, to) (clamped to the show) and turns looping on; the music moves
    // to from when it is outside. False with a reason, and nothing changed, for an empty
    // loop.
    bool setLoop(double from, double to, std::string& error);
    void loopOff();

    // Once a frame, before the frame reads its row. Music that plays through the loop's
    // end goes back to its start (seeks elsewhere are left alone: only playing through the
    // end loops); music that reaches the show's end pauses there. Returns the row.
    double update();

private:
    void clampLoop();

    MusicClock& music;
    double end;
    bool isPaused = false;
    Loop region;
    double lastRow = 0.0; // the row of the last update or move, to see the loop's end crossed
};

} // namespace studio
