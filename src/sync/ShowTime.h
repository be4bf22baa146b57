// The show's time, written once: the tempo, the row grid, bars and beats, rows <-> seconds,
// and the rule that ends the show. The row clock, the capture's fixed step, the studio's
// transport, the timeline plotter, the benchmarks and the music generator all take their
// numbers from here, so the music and the rows cannot drift apart.
#pragma once

class TrackHandle;

namespace showtime {

inline constexpr double beatsPerMinute = 150.0;
inline constexpr int rowsPerBeat = 8;
inline constexpr int beatsPerBar = 4;
inline constexpr int rowsPerBar = rowsPerBeat * beatsPerBar;
// 150 / 60 x 8 = 20, exactly, so whole seconds are whole rows.
inline constexpr double rowsPerSecond = beatsPerMinute / 60.0 * rowsPerBeat;

constexpr double secondsAt(double row)
{
    return row / rowsPerSecond;
}

constexpr double rowAt(double seconds)
{
    return seconds * rowsPerSecond;
}

// Where a row falls in the music: bars and beats counted from 1, rows from 0 (row 0 is bar
// 1, beat 1; row 40 is bar 2, beat 2). A row a hair below a bar or beat line counts as on
// it: a seek lands on the nearest sample, which can fall just short of the row asked for.
struct BarBeat {
    long bar = 1;
    int beat = 1;
};
BarBeat barBeatAt(double row);

// The end rule. A frame ends the show when the end track "e" gives 1.0 or less at its row
// (tested after the frame is shown, so at least one frame is always drawn), or when the
// music has played to its end.
inline constexpr float endThreshold = 1.0f;
inline bool endsShow(float endValue)
{
    // Written as "not above" so that a NaN ends the show instead of running it for ever.
    return !(endValue > endThreshold);
}
bool endsShowAt(const TrackHandle& endTrack, double row);

struct ShowEnd {
    double row = 0.0;        // the first row at which the show ends
    bool musicFirst = false; // the music ends there, before (or without) "e" dropping
};
// Where a show played from row `from` ends: the first row r >= from at which endsShowAt(r),
// found from the track's keys (between two keys a track moves one way only), or the music's
// end at musicRows when that comes first. A negative musicRows means no music: a track that
// never drops then ends the show nowhere (row is +infinity, musicFirst false).
ShowEnd showEnd(const TrackHandle& endTrack, double from, double musicRows);

} // namespace showtime
