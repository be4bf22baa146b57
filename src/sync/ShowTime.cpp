#include "sync/ShowTime.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sync/Sync.h"
#include "sync/SyncTracks.h"

namespace showtime {

namespace {

// A seek lands on the nearest sample (1/2205 of a row at 44.1 kHz) and a float row carries a
// few ten-thousandths of rounding at the end of a long show: well under this.
constexpr double lineTolerance = 0.002;

// The first row in (before, at] that ends the show, given that `before` does not and `at`
// does. The track moves one way between its keys, so the rows that end it are one run.
double firstEndingRow(const TrackHandle& endTrack, double before, double at)
{
    while (true) {
        const double mid = before + (at - before) / 2.0;
        if (!(mid > before && mid < at))
            return at;
        (endsShowAt(endTrack, mid) ? at : before) = mid;
    }
}

} // namespace

BarBeat barBeatAt(double row)
{
    const double r = std::max(0.0, row);
    const long bar = static_cast<long>(std::floor((r + lineTolerance) / rowsPerBar));
    const double intoBar = r - static_cast<double>(bar) * rowsPerBar;
    const long beat = std::clamp(static_cast<long>(std::floor((intoBar + lineTolerance) / rowsPerBeat)), 0L,
        static_cast<long>(beatsPerBar) - 1);
    return {bar + 1, static_cast<int>(beat) + 1};
}

bool endsShowAt(const TrackHandle& endTrack, double row)
{
    return endsShow(endTrack.getValue(row));
}

ShowEnd showEnd(const TrackHandle& endTrack, double from, double musicRows)
{
    const bool music = musicRows >= 0.0;
    const double limit = music ? musicRows : std::numeric_limits<double>::infinity();
    if (endsShowAt(endTrack, from))
        return {from, false};
    if (from >= limit)
        return {from, true};
    // The lowest value over a stretch is at its ends or at a key inside, so the first row
    // that ends the show lies in the first stretch between such rows whose far end does.
    double before = from;
    const SyncTrack* track = endTrack.getTrack();
    for (int i = 0; track && i < track->keyCount; ++i) {
        const double row = track->keys[i].row;
        if (row <= before)
            continue;
        const double at = std::min(row, limit);
        if (endsShowAt(endTrack, at))
            return {firstEndingRow(endTrack, before, at), false};
        if (at >= limit)
            return {limit, true};
        before = at;
    }
    // Past its last key a track holds its value; only the music can end the show now.
    if (music && endsShowAt(endTrack, limit))
        return {firstEndingRow(endTrack, before, limit), false};
    return {limit, music};
}

} // namespace showtime
