// The tracks a plot shows, from either of the two places tracks live: a timeline text
// (compiled in memory, nothing written) or the binary track files BASE_<name>.track that
// a build wrote and the show loads.
#pragma once

#include "sync/SyncTracks.h"

#include <string>
#include <vector>

namespace synctool {

struct PlotTrack {
    std::string name;
    std::vector<TrackKey> keys; // ascending rows, as the show holds them
};

enum PlotSourceResult {
    PlotSourceOk = 0,
    PlotSourceFailed = 1,  // nothing to plot: see the message
    PlotSourceDamaged = 2, // a track file is damaged
};

// Reads the tracks named (all of them when names is empty: a timeline's in its order, a
// base path's files in name order) from source: a timeline text when source is a file,
// otherwise a track base path. Anything but PlotSourceOk leaves why holding one line
// (a timeline's mistakes, one FILE:LINE line each).
int loadPlotTracks(const std::string& source, const std::vector<std::string>& names,
    std::vector<PlotTrack>& tracks, std::string& why);

// The names in a comma-separated list; false for an empty list or an empty or malformed
// name (they would match no file).
bool parseTrackList(const std::string& text, std::vector<std::string>& names);

} // namespace synctool
