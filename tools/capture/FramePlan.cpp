// Frame rows, span ends and the music samples of a span.
#include "capture/FramePlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace capture {

double frameRow(double from, long index, int fps)
{
    return from + static_cast<double>(index) * rowsPerSecond / static_cast<double>(fps);
}

float sceneRow(double row)
{
    return static_cast<float>(row);
}

double sceneTime(double row)
{
    return showtime::secondsAt(static_cast<double>(sceneRow(row)));
}

bool planSpan(double from, std::optional<double> to, int fps, double musicRows,
              const std::function<float(float)>& endValue, SpanPlan& plan, std::string& error)
{
    plan = SpanPlan();
    if (to) {
        // Frames whose row lies in [from, to): estimate, then settle on the exact
        // count with the same row arithmetic the frames use.
        const double estimate = std::ceil((*to - from) * fps / rowsPerSecond);
        if (!(estimate <= static_cast<double>(maxSpanFrames) + 1.0)) {
            error = "the span from row " + std::to_string(from) + " to " + std::to_string(*to) +
                    " is more than " + std::to_string(maxSpanFrames) + " frames";
            return false;
        }
        long n = static_cast<long>(estimate);
        while (n > 0 && frameRow(from, n - 1, fps) >= *to)
            --n;
        while (frameRow(from, n, fps) < *to)
            ++n;
        if (n > maxSpanFrames) {
            error = "the span is more than " + std::to_string(maxSpanFrames) + " frames";
            return false;
        }
        plan.frames = n;
        plan.endRow = *to;
        return true;
    }

    const double capRow = std::max(musicRows, 0.0) + capSlackRows;
    for (long i = 0;; ++i) {
        const double row = frameRow(from, i, fps);
        if (i > 0 && (row > capRow || i >= maxSpanFrames)) {
            plan.capped = true;
            break;
        }
        plan.frames = i + 1;
        // As in the show: the frame is drawn, then the end test runs at its row.
        if (showtime::endsShow(endValue(sceneRow(row))))
            break;
    }
    plan.endRow = frameRow(from, plan.frames, fps);
    return true;
}

namespace {

// The shortest text that reads back as the same double.
std::string exact(double value)
{
    char text[40];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

} // namespace

std::string formatPlan(const PlanReport& p)
{
    const long last = p.span.frames > 0 ? p.span.frames - 1 : 0;
    std::string text;
    const auto line = [&](const char* key, const std::string& value) { text += std::string(key) + " " + value + "\n"; };
    line("frames", std::to_string(p.span.frames));
    line("fps", std::to_string(p.fps));
    line("size", std::to_string(p.width) + "x" + std::to_string(p.height));
    line("first_row", exact(p.from));
    line("last_frame_row", exact(frameRow(p.from, last, p.fps)));
    line("end_row", exact(p.span.endRow));
    line("capped", p.span.capped ? "1" : "0");
    line("track_end_row", exact(p.trackEndRow));
    line("track_capped", p.trackCapped ? "1" : "0");
    line("music_rows", exact(p.musicRows));
    line("duration_s", exact(static_cast<double>(p.span.frames) / p.fps));
    return text;
}

SampleSpan sampleSpan(double fromRow, double endRow, int rate)
{
    SampleSpan span;
    if (rate <= 0 || !(endRow > fromRow) || fromRow < 0.0)
        return span;
    const double first = std::llround(showtime::secondsAt(fromRow) * rate);
    const double end = std::llround(showtime::secondsAt(endRow) * rate);
    span.first = static_cast<std::uint64_t>(first);
    span.count = end > first ? static_cast<std::uint64_t>(end - first) : 0;
    return span;
}

} // namespace capture
