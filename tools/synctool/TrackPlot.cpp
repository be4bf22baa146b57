#include "TrackPlot.h"

#include "engine/FontAtlas.h"
#include "engine/PngFile.h"
#include "sync/Sync.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace synctool {

namespace {

constexpr Rgb laneShades[2] = { { 30, 33, 40 }, { 26, 28, 34 } };
constexpr Rgb beatRule{ 34, 37, 44 };
constexpr Rgb barRule{ 46, 50, 60 };
constexpr Rgb sectionRule{ 92, 99, 116 };
constexpr Rgb titleText{ 222, 226, 234 };
constexpr Rgb labelText{ 146, 153, 168 };
constexpr Rgb dimText{ 98, 105, 120 };
constexpr Rgb palette[] = {
    { 96, 190, 255 }, { 255, 168, 76 }, { 120, 220, 136 }, { 244, 108, 140 },
    { 186, 146, 255 }, { 246, 218, 88 }, { 84, 220, 208 }, { 255, 128, 98 },
};
// Under-curve tint and the fewest pixels between two rules of a kind.
constexpr float areaOpacity = 0.13f;
constexpr double lineHalfWidth = 0.9;
constexpr double minRuleSpacing = 4.0;
constexpr double minSectionSpacing = 24.0;
constexpr double minBeatSpacing = 14.0;
constexpr int beatsPerBar = showtime::beatsPerBar;
constexpr float smallFontSize = 13.0f;
constexpr float largeFontSize = 16.0f;

bool parseRow(const char* begin, const char* end, long& row)
{
    if (begin == end)
        return false;
    char* stop = nullptr;
    errno = 0;
    row = std::strtol(begin, &stop, 10);
    return stop == end && errno == 0 && row >= INT_MIN && row <= INT_MAX;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// The bar that a row starts or lies in, for negative rows too.
long long barOf(double row)
{
    return static_cast<long long>(std::floor(row / TrackPlot::rowsPerBar));
}

// The smallest power of two times base whose spacing is at least minimum pixels.
long long stepFor(long long base, double pixelsPerBar, double minimum)
{
    long long step = base;
    while (double(step) * pixelsPerBar < minimum && step < (1LL << 40))
        step *= 2;
    return step;
}

std::string fitted(const Tarvo::FontAtlas& font, std::string text, float room)
{
    if (font.textWidth(text) <= room)
        return text;
    while (!text.empty() && font.textWidth(text + "~") > room)
        text.pop_back();
    return text + "~";
}

} // namespace

bool parseRowRange(const std::string& text, RowRange& rows)
{
    const std::size_t colon = text.find(':');
    long from = 0;
    long to = 0;
    if (colon == std::string::npos || !parseRow(text.data(), text.data() + colon, from)
        || !parseRow(text.data() + colon + 1, text.data() + text.size(), to) || from >= to)
        return false;
    rows = { double(from), double(to) };
    return true;
}

RowRange defaultRows(const std::vector<PlotTrack>& tracks)
{
    long long first = LLONG_MAX;
    long long last = LLONG_MIN;
    for (const PlotTrack& track : tracks)
        if (!track.keys.empty()) {
            first = std::min<long long>(first, track.keys.front().row);
            last = std::max<long long>(last, track.keys.back().row);
        }
    if (first == LLONG_MAX)
        return { 0.0, double(TrackPlot::rowsPerBar) };
    if (first == last)
        return { double(first), double(first) + TrackPlot::rowsPerBar };
    return { double(first), double(last) };
}

TrackPlot::TrackPlot(const std::vector<PlotTrack>& tracks, RowRange rows, std::string title)
    : rows(rows)
    , title(std::move(title))
{
    for (const PlotTrack& track : tracks)
        lanes.push_back(sample(track));
}

Rgb TrackPlot::curveColour(int lane)
{
    return palette[static_cast<std::size_t>(lane) % std::size(palette)];
}

double TrackPlot::rowAt(double column) const
{
    return rows.from + (rows.to - rows.from) * column / plotWidth;
}

int TrackPlot::columnOf(double row) const
{
    const double column = std::floor((row - rows.from) / (rows.to - rows.from) * plotWidth);
    return labelWidth + static_cast<int>(std::clamp(column, 0.0, double(plotWidth - 1)));
}

TrackPlot::Lane TrackPlot::sample(const PlotTrack& source) const
{
    Lane lane{ source, std::vector<Span>(plotWidth), 0.0f, 0.0f };
    const std::vector<TrackKey>& keys = lane.track.keys;
    const SyncTrack track{ nullptr, const_cast<TrackKey*>(keys.data()), static_cast<int>(keys.size()) };
    // The very handle the scenes read their values through.
    const TrackHandle handle(&track);
    bool anyFinite = false;
    std::size_t next = 0;
    while (next < keys.size() && keys[next].row < rows.from)
        ++next;
    for (int column = 0; column < plotWidth; ++column) {
        Span& span = lane.spans[static_cast<std::size_t>(column)];
        auto take = [&](double row) {
            const float value = handle.getValue(row);
            if (!std::isfinite(value))
                return;
            span.lo = span.finite ? std::min(span.lo, value) : value;
            span.hi = span.finite ? std::max(span.hi, value) : value;
            span.finite = true;
        };
        // Between two keys every interpolation moves one way, so a column's extremes
        // lie at its ends or at the keys inside it (just before and at each key).
        const double start = rowAt(column);
        const double end = rowAt(column + 1);
        take(start);
        take(end);
        for (; next < keys.size() && keys[next].row < end; ++next) {
            const double row = keys[next].row;
            if (row > start)
                take(std::nextafter(row, -std::numeric_limits<double>::infinity()));
            take(row);
        }
        if (span.finite) {
            lane.lo = anyFinite ? std::min(lane.lo, span.lo) : span.lo;
            lane.hi = anyFinite ? std::max(lane.hi, span.hi) : span.hi;
            anyFinite = true;
        }
    }
    return lane;
}

double TrackPlot::yOf(const Lane& lane, int index, float value) const
{
    // Pixel centres: the greatest value in the middle of the first row inside the
    // padding, the least in the middle of the last.
    const double top = laneTop(index) + lanePadding + 0.5;
    const double bottom = laneTop(index) + laneHeight - lanePadding - 0.5;
    // In double: a lane from -3e38 to 3e38 is wider than a float holds.
    const double range = double(lane.hi) - double(lane.lo);
    if (!(range > 0.0) || !std::isfinite(range))
        return std::round((top + bottom) / 2.0 - 0.5) + 0.5;
    const double t = std::clamp((double(lane.hi) - double(value)) / range, 0.0, 1.0);
    return top + t * (bottom - top);
}

void TrackPlot::drawRules(PlotCanvas& canvas, const Tarvo::FontAtlas& small) const
{
    const int top = headerHeight - 4;
    const int bottom = height() - footerHeight + 4;
    const double pixelsPerBar = double(plotWidth) * rowsPerBar / (rows.to - rows.from);
    const long long firstBar = barOf(rows.from);
    const long long lastBar = barOf(rows.to);

    // Zoomed in far enough to see beats, the footer counts rows, so that a key's row can
    // be read off the picture.
    const double pixelsPerBeat = pixelsPerBar / beatsPerBar;
    const std::string widestRow = number(std::max(std::fabs(rows.from), std::fabs(rows.to))) + "-";
    const bool beatRows = pixelsPerBeat >= small.textWidth(widestRow) + 14.0;
    if (pixelsPerBeat >= minBeatSpacing)
        for (long long beat = firstBar * beatsPerBar; beat < (lastBar + 1) * beatsPerBar; ++beat) {
            const double row = double(beat) * rowsPerBar / beatsPerBar;
            if (row < rows.from || row > rows.to)
                continue;
            const int x = columnOf(row);
            if (beat % beatsPerBar != 0)
                canvas.fill(x, headerHeight, x + 1, bottom - 4, beatRule);
            if (beatRows) {
                const std::string label = number(row);
                canvas.text(small, label, float(x) - small.textWidth(label) / 2.0f, float(height() - 2), dimText);
            }
        }

    const long long barStep = stepFor(1, pixelsPerBar, minRuleSpacing);
    const long long sectionStep = stepFor(barsPerSection, pixelsPerBar, minSectionSpacing);
    const std::string widest = std::to_string(std::max(std::llabs(firstBar), std::llabs(lastBar)) + 1) + "-";
    const long long labelStep = stepFor(1, pixelsPerBar, small.textWidth(widest) + 14.0);
    const long long firstRuled = firstBar - ((firstBar % barStep) + barStep) % barStep;
    for (long long bar = firstRuled; bar <= lastBar; bar += barStep) {
        const double row = double(bar) * rowsPerBar;
        if (row < rows.from || row > rows.to)
            continue;
        const bool section = bar % sectionStep == 0;
        const int x = columnOf(row);
        canvas.fill(x, section ? top : headerHeight, x + 1, bottom, section ? sectionRule : barRule);
        if (bar % labelStep != 0)
            continue;
        const std::string label = barLabel(row);
        const float left = float(x) - small.textWidth(label) / 2.0f;
        canvas.text(small, label, left, float(headerHeight - 10), section ? titleText : labelText);
        if (section && !beatRows)
            canvas.text(small, label, left, float(height() - 2), dimText);
    }
}

std::string TrackPlot::barLabel(double row)
{
    // Bars and beats count from 1, rows from 0, as everywhere a person reads them.
    return std::to_string(barOf(row) + 1);
}

void TrackPlot::drawLane(PlotCanvas& canvas, int index, const Tarvo::FontAtlas& small,
    const Tarvo::FontAtlas& large) const
{
    const Lane& lane = lanes[static_cast<std::size_t>(index)];
    const int top = laneTop(index);
    const Rgb colour = curveColour(index);

    // The curve, one column at a time from its least to its greatest value, reaching
    // back to the column before so that steps draw as unbroken lines.
    bool joined = false;
    double previousTop = 0.0;
    double previousBottom = 0.0;
    const int floor = top + laneHeight - lanePadding;
    for (int column = 0; column < plotWidth; ++column) {
        const Span& span = lane.spans[static_cast<std::size_t>(column)];
        if (!span.finite) {
            joined = false;
            continue;
        }
        const double high = yOf(lane, index, span.hi);
        const double low = yOf(lane, index, span.lo);
        const int x = labelWidth + column;
        // A flat lane has no "below" to tint.
        if (lane.lo != lane.hi)
            canvas.span(x, low + lineHalfWidth, floor, colour, areaOpacity);
        const double from = joined ? std::min(high, previousBottom) : high;
        const double to = joined ? std::max(low, previousTop) : low;
        canvas.span(x, from - lineHalfWidth, to + lineHalfWidth, colour);
        previousTop = high;
        previousBottom = low;
        joined = true;
    }

    const std::vector<TrackKey>& keys = lane.track.keys;
    const SyncTrack track{ nullptr, const_cast<TrackKey*>(keys.data()), static_cast<int>(keys.size()) };
    const TrackHandle handle(&track);
    for (const TrackKey& key : keys) {
        if (key.row < rows.from || key.row > rows.to)
            continue;
        const float value = handle.getValue(key.row);
        const int x = columnOf(key.row);
        const int y = std::isfinite(value) ? static_cast<int>(std::floor(yOf(lane, index, value))) : floor;
        for (int d = -3; d <= 3; ++d) {
            const int half = 3 - std::abs(d);
            canvas.fill(x - half, y + d, x + half + 1, y + d + 1, keyColour);
        }
        canvas.fill(x, top + laneHeight - 4, x + 1, top + laneHeight, keyColour, 0.6f);
    }

    // Names and ranges in the margin: the greatest value level with the lane's top, the
    // least with its bottom.
    const std::string hi = number(lane.hi);
    const std::string lo = number(lane.lo);
    const float valueRight = float(labelWidth - 10);
    if (lane.lo != lane.hi) {
        canvas.text(small, hi, valueRight - small.textWidth(hi), float(top + lanePadding + 8), labelText);
        canvas.text(small, lo, valueRight - small.textWidth(lo), float(top + laneHeight - lanePadding + 3), labelText);
    } else {
        // A flat lane's one value, level with its line.
        canvas.text(small, hi, valueRight - small.textWidth(hi), float(yOf(lane, index, lane.hi) + 4.0), labelText);
    }
    const float room = valueRight - 12.0f - std::max(small.textWidth(hi), small.textWidth(lo)) - 10.0f;
    canvas.text(large, fitted(large, lane.track.name, room), 12.0f, float(top + laneHeight / 2 + 2), colour);
    const std::string count = keys.empty() ? "no keys" : std::to_string(keys.size()) + (keys.size() == 1 ? " key" : " keys");
    canvas.text(small, count, 12.0f, float(top + laneHeight / 2 + 18), dimText);
}

void TrackPlot::draw(PlotCanvas& canvas, const Tarvo::FontAtlas& small, const Tarvo::FontAtlas& large) const
{
    canvas.fill(0, 0, canvas.width(), canvas.height(), background);
    for (int lane = 0; lane < laneCount(); ++lane)
        canvas.fill(0, laneTop(lane), width(), laneTop(lane) + laneHeight, laneShades[lane % 2]);
    drawRules(canvas, small);
    for (int lane = 0; lane < laneCount(); ++lane)
        drawLane(canvas, lane, small, large);

    const double seconds = (rows.to - rows.from) / rowsPerSecond;
    char span[160];
    std::snprintf(span, sizeof span, "rows %.0f to %.0f   %.4g bars   %d:%04.1f", rows.from, rows.to,
        (rows.to - rows.from) / rowsPerBar, int(seconds / 60.0), std::fmod(seconds, 60.0));
    const float titleWidth = canvas.text(large, title, 12.0f, 22.0f, titleText);
    canvas.text(small, span, 12.0f + titleWidth + 24.0f, 22.0f, labelText);
    canvas.text(small, "bar", float(labelWidth - 10) - small.textWidth("bar"), float(headerHeight - 10), dimText);
}

int writeTrackPlot(const PlotRequest& request, std::string& why)
{
    std::vector<PlotTrack> tracks;
    const int result = loadPlotTracks(request.source, request.names, tracks, why);
    if (result != PlotSourceOk)
        return result;
    if (tracks.empty()) {
        why = request.source + ": no tracks to plot";
        return PlotSourceFailed;
    }
    Tarvo::FontAtlas small;
    Tarvo::FontAtlas large;
    if (!small.load(Tarvo::FontAtlas::defaultFontPath(), smallFontSize)
        || !large.load(Tarvo::FontAtlas::defaultFontPath(), largeFontSize)) {
        why = "cannot draw labels: " + (small.error().empty() ? large.error() : small.error());
        return PlotSourceFailed;
    }
    const TrackPlot plot(tracks, request.hasRows ? request.rows : defaultRows(tracks), request.source);
    PlotCanvas canvas(plot.width(), plot.height(), TrackPlot::background);
    plot.draw(canvas, small, large);
    if (!Tarvo::writePngFile(request.out, canvas.width(), canvas.height(), 3, canvas.pixels(), why))
        return PlotSourceFailed;
    return PlotSourceOk;
}

} // namespace synctool
