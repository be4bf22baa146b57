// Which frames a capture renders and which samples of the music go with them. Frame i of
// a span is at row from + i × 20 / fps; a span ends at --to, or at the first frame whose
// row gives the end track "e" 1.0 or less (that frame is still drawn, as the show draws
// it), and never runs far past the end of the music.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "sync/ShowTime.h"

namespace capture {

using showtime::rowsPerSecond;
// A span without --to stops this many rows after the music's end even when "e" never
// drops, so a broken end track cannot make a capture run forever.
constexpr double capSlackRows = rowsPerSecond;
// Far beyond any show (about 46 hours at 60 frames a second).
constexpr long maxSpanFrames = 10000000;

// The row of frame i: the same arguments always give the same rows.
double frameRow(double from, long index, int fps);
// The row a scene sees (the demo instance stores it as a float) and the frame's time in
// seconds, derived from that same float so tracks and time agree.
float sceneRow(double row);
double sceneTime(double row);

struct SpanPlan {
    long frames = 0;
    double endRow = 0.0;  // where the span ends: --to, or the row after the last frame
    bool capped = false;  // stopped at the music's end with "e" still above 1.0
};

// endValue gives "e" at a scene row; musicRows is the music's length in rows. False, with
// error set, when the span would exceed maxSpanFrames.
bool planSpan(double from, std::optional<double> to, int fps, double musicRows,
              const std::function<float(float)>& endValue, SpanPlan& plan, std::string& error);

// A span's plan as vantor-capture --plan prints it for scripts: one "key value" a line,
// rows printed so that reading them back gives the same double.
struct PlanReport {
    SpanPlan span;
    double from = 0.0;
    int fps = 60;
    int width = 0;
    int height = 0;
    // Where the end track alone ends a span from `from` (the row after its last frame),
    // whether or not --to cut the span short; trackCapped when it never drops.
    double trackEndRow = 0.0;
    bool trackCapped = false;
    double musicRows = 0.0;
};
std::string formatPlan(const PlanReport& plan);

struct SampleSpan {
    std::uint64_t first = 0; // the sample frame at the span's start row
    std::uint64_t count = 0; // sample frames up to (not including) the end row
};

// Rows [fromRow, endRow) in sample frames at this rate; each end rounds to the nearest
// sample, so adjacent spans share their boundary sample exactly.
SampleSpan sampleSpan(double fromRow, double endRow, int rate);

} // namespace capture
