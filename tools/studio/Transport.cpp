// The transport's moves and the row arithmetic behind them.
#include "studio/Transport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sync/Sync.h"
#include "sync/SyncTracks.h"

namespace studio {

double clampRow(double row, double endRow)
{
    if (!(row > 0.0))
        return 0.0;
    return std::min(row, std::max(0.0, endRow));
}

long barOf(double row)
{
    return showtime::barBeatAt(row).bar - 1;
}

double barStart(long bar)
{
    return static_cast<double>(bar) * rowsPerBar;
}

double wrapRow(double row, double from, double to)
{
    const double length = to - from;
    if (!(length > 0.0))
        return from;
    if (row < to)
        return row;
    return from + std::fmod(row - from, length);
}

std::string barBeat(double row)
{
    const showtime::BarBeat at = showtime::barBeatAt(row);
    return std::to_string(at.bar) + "." + std::to_string(at.beat);
}

std::string clockTime(double row)
{
    const long long ms = std::llround(showtime::secondsAt(std::max(0.0, row)) * 1000.0);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

double showEnd(const TrackHandle& endTrack, double musicRows)
{
    const SyncTrack* track = endTrack.getTrack();
    if (!track || track->keyCount == 0)
        return std::max(0.0, musicRows);
    const showtime::ShowEnd end = showtime::showEnd(endTrack, 0.0, musicRows);
    if (std::isfinite(end.row))
        return end.row;
    return std::max(0.0, static_cast<double>(track->keys[track->keyCount - 1].row));
}

Transport::Transport(MusicClock& music, double endRow)
    : music(music), end(std::max(0.0, endRow))
{
    lastRow = clampRow(music.row(), end);
    clampLoop();
}

void Transport::setEndRow(double row)
{
    // The loop stays where the user put it: a timeline saved shorter for a moment must
    // not move it for good. Only playback is bounded by the end.
    end = row > 0.0 ? row : 0.0;
}

void Transport::play()
{
    if (!isPaused)
        return;
    isPaused = false;
    // At the show's end, play starts again from the loop's start (or the show's), as a
    // player does, instead of stopping again in the same frame.
    if (music.row() >= end) {
        const double from = region.on && std::min(region.to, end) > region.from ? region.from : 0.0;
        music.seek(from);
        lastRow = from;
    }
    music.play();
}

void Transport::pause()
{
    if (isPaused)
        return;
    isPaused = true;
    music.pause();
}

void Transport::togglePause()
{
    if (isPaused)
        play();
    else
        pause();
}

double Transport::seek(double row)
{
    const double target = clampRow(row, end);
    music.seek(target);
    // Music that had played to its end is stopped, not paused: a move while playing must
    // start it again.
    if (!isPaused)
        music.play();
    lastRow = target;
    return target;
}

double Transport::seekBars(long bars)
{
    return seek(barStart(barOf(lastRow) + bars));
}

void Transport::markLoopStart()
{
    region.from = barStart(barOf(lastRow));
    if (region.to <= region.from)
        region.to = region.from + rowsPerBar;
    clampLoop();
}

void Transport::markLoopEnd()
{
    region.to = barStart(barOf(lastRow) + 1);
    if (region.from >= region.to)
        region.from = region.to - rowsPerBar;
    clampLoop();
}

void Transport::toggleLoop()
{
    region.on = !region.on;
}

bool Transport::setLoop(double from, double to, std::string& error)
{
    const double f = clampRow(from, end);
    const double t = clampRow(to, end);
    if (!(t > f)) {
        char text[160];
        std::snprintf(text, sizeof text, "the loop %g to %g is empty inside the show (rows 0 to %g)", from, to, end);
        error = text;
        return false;
    }
    region = Loop{f, t, true};
    if (lastRow < f || lastRow >= t)
        seek(f);
    return true;
}

void Transport::loopOff()
{
    region.on = false;
}

double Transport::update()
{
    double row = music.row();
    const double loopEnd = std::min(region.to, end);
    // Paused or not: a pause in the very frame that crossed the loop's end must not let
    // the next play start outside it.
    if (region.on && loopEnd > region.from && lastRow < loopEnd && row >= loopEnd) {
        row = wrapRow(row, region.from, loopEnd);
        music.seek(row);
        if (!isPaused)
            music.play();
    } else if (!isPaused) {
        if (row >= end) {
            row = end;
            music.pause();
            music.seek(end);
            isPaused = true;
        }
    }
    lastRow = row;
    return row;
}

void Transport::clampLoop()
{
    region.from = clampRow(region.from, end);
    region.to = clampRow(region.to, end);
    // A loop pushed against the end keeps a bar's length where the show has one.
    if (region.to <= region.from)
        region.from = clampRow(region.to - rowsPerBar, end);
}

} // namespace studio
