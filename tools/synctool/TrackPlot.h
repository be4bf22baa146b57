// The picture of a set of tracks that a person checks a timeline with: one lane per
// track, each curve sampled with the show's own evaluation, keys marked, bars and
// sections ruled, names and value ranges labelled. Layout arithmetic is public so that
// tests can find where a row or a lane lands.
#pragma once

#include "PlotCanvas.h"
#include "PlotSource.h"

#include <string>
#include <vector>

#include "sync/ShowTime.h"

namespace Tarvo { class FontAtlas; }

namespace synctool {

// Rows from..to, from < to, both on the plot.
struct RowRange {
    double from = 0.0;
    double to = 0.0;
};

// "FROM:TO", whole rows with FROM < TO; false for anything else.
bool parseRowRange(const std::string& text, RowRange& rows);
// From the first key to the last over all tracks; a bar from the only key row, or the
// first bar when there are no keys at all.
RowRange defaultRows(const std::vector<PlotTrack>& tracks);

class TrackPlot {
public:
    static constexpr int rowsPerBar = showtime::rowsPerBar;
    static constexpr int barsPerSection = 16;
    static constexpr double rowsPerSecond = showtime::rowsPerSecond;

    static constexpr int labelWidth = 196;
    static constexpr int plotWidth = 1600;
    static constexpr int rightMargin = 24;
    static constexpr int headerHeight = 60;
    static constexpr int laneHeight = 60;
    static constexpr int footerHeight = 16;
    // The curve keeps this far from its lane's edges, so a lane's extremes stay apart
    // from the next lane's.
    static constexpr int lanePadding = 9;

    static constexpr Rgb background{ 22, 24, 29 };
    static constexpr Rgb keyColour{ 250, 250, 250 };

    // title heads the picture (the source, as the user named it).
    TrackPlot(const std::vector<PlotTrack>& tracks, RowRange rows, std::string title);

    int width() const { return labelWidth + plotWidth + rightMargin; }
    int height() const { return headerHeight + laneCount() * laneHeight + footerHeight; }
    int laneCount() const { return static_cast<int>(lanes.size()); }
    int laneTop(int lane) const { return headerHeight + lane * laneHeight; }
    // The picture column in which a row is drawn, clamped to the plot.
    int columnOf(double row) const;
    static Rgb curveColour(int lane);
    // The label of the bar a row lies in: bars count from 1 (row 0 is in bar 1, row 512
    // in bar 17).
    static std::string barLabel(double row);

    // Paints the whole picture into a canvas of width() x height(); labels use the
    // small font, names and the title the large one.
    void draw(PlotCanvas& canvas, const Tarvo::FontAtlas& small, const Tarvo::FontAtlas& large) const;

private:
    // The curve over one column: the least and greatest value the track takes there.
    struct Span {
        float lo = 0.0f;
        float hi = 0.0f;
        bool finite = false;
    };
    struct Lane {
        PlotTrack track;
        std::vector<Span> spans; // one per plot column
        float lo = 0.0f;         // the lane's range over all columns
        float hi = 0.0f;
    };

    Lane sample(const PlotTrack& track) const;
    double rowAt(double column) const;
    double yOf(const Lane& lane, int index, float value) const;
    void drawRules(PlotCanvas& canvas, const Tarvo::FontAtlas& small) const;
    void drawLane(PlotCanvas& canvas, int index, const Tarvo::FontAtlas& small, const Tarvo::FontAtlas& large) const;

    std::vector<Lane> lanes;
    RowRange rows;
    std::string title;
};

// What `synctool plot` was asked for; an empty names list means every track, and no
// rows the default range.
struct PlotRequest {
    std::string source;
    std::string out;
    std::vector<std::string> names;
    bool hasRows = false;
    RowRange rows;
};

// Loads the tracks, draws them and writes the PNG, whole or not at all. Returns a
// PlotSourceResult; anything but PlotSourceOk writes nothing and leaves why holding the
// message.
int writeTrackPlot(const PlotRequest& request, std::string& why);

} // namespace synctool
