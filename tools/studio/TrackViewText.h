// The track view's text, without GL: one column per track around the cursor's, the rows
// around the current one (which stays in the middle as playback moves it), each key with
// its value and a letter for its interpolation, bar and beat lines, section names, the
// block selected, and a header with the file, its unsaved marker and what the editor
// last said. Monospaced text, so a test can read it as the screen shows it.
#pragma once

#include <string>
#include <vector>

#include "studio/OverlayText.h"
#include "studio/TimelineDocument.h"

namespace studio {

struct TrackViewFacts {
    const TimelineDocument* document = nullptr;
    std::vector<std::string> names; // the tracks shown, in column order
    int cursorTrack = 0;            // index into names
    double row = 0.0;               // where the music is
    bool selecting = false;         // a block from (anchorTrack, anchorRow) to the cursor
    int anchorTrack = 0;
    int anchorRow = 0;
    std::string file;
    bool dirty = false;
    std::string typing;  // a number being typed, shown until Enter
    std::string message; // the editor's last word (an error, a save, a question)
    bool messageAlert = false;
};

// The row the view's middle line shows: the whole row the music is in.
int cursorRow(double row);

struct TrackViewLayout {
    int firstRow = 0;      // the row of the first row line
    int rowLines = 0;
    int headerLines = 0;   // lines above the first row line
    int firstTrack = 0;    // index into names of the first column shown
    int trackColumns = 0;
};

// Lines for a panel columns characters wide and lines tall (both at least 1).
std::vector<OverlayLine> trackViewLines(const TrackViewFacts& facts, int columns, int lines,
    TrackViewLayout* layout = nullptr);

// The letter a key's interpolation is shown with: S, L, M (smooth), Q, ? for others.
char interpolationLetter(int type);

} // namespace studio
