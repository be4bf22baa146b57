// The overlay's text, without GL: where the show is (row, bar.beat, time, frame time),
// the transport's state, the last reload and every error still standing, in full, and the
// values of the tracks the scene reads at the current row.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "studio/ReloadResult.h"
#include "studio/Transport.h"

namespace studio {

struct OverlayFacts {
    double row = 0.0;
    double endRow = 0.0;
    double msPerFrame = 0.0;
    bool paused = false;
    Loop loop;
    const ReloadBoard* reloads = nullptr;
    std::vector<std::pair<std::string, float>> tracks; // name, value at the row
};

struct OverlayLine {
    std::string text;
    bool alert = false;     // part of an error
    bool highlight = false; // the current row: drawn on a bar of its own
    bool rule = false;      // a bar's first row: a line above it
};

// At most lines lines: the last says how many more there were, so a long list of errors
// or tracks never runs off the window.
void limitLines(std::vector<OverlayLine>& out, int lines);

// The lines of a panel columns characters wide; longer lines are broken to fit, so an
// error is shown whole however long it is.
std::vector<OverlayLine> overlayLines(const OverlayFacts& facts, int columns);

} // namespace studio
