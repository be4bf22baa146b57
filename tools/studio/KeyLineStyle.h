// How a timeline writes its key lines, learnt from the lines already there, so that a key
// the studio writes looks like its neighbours: the same indent, the value right-aligned in
// the same column (or the same gaps, where the lines are not in columns), the same number
// of decimals. A value those decimals cannot carry exactly is written in the shortest form
// that reads back as the same float: what the user typed is never rounded away.
#pragma once

#include <string>
#include <vector>

#include "sync/SyncTracks.h"

namespace studio {

class KeyLineStyle {
public:
    // Learns from key lines (without their line ends); none gives "ROW VALUE TYPE" with
    // single spaces and the shortest value.
    static KeyLineStyle learn(const std::vector<std::string>& keyLines);

    // The key's line, without a line end; comment (from '#', or empty) is kept after it.
    std::string format(const TrackKey& key, const std::string& comment = std::string()) const;

private:
    std::string indent;
    bool columns = false;   // values end in one column and types start in one column
    std::size_t valueEnd = 0;
    std::size_t typeStart = 0;
    std::string rowGap = " "; // where not in columns: the gaps the first line used
    std::string typeGap = " ";
    int decimals = -1;      // -1: the shortest exact form
};

// The shortest decimal text that reads back as the same float.
std::string shortestValue(float value);

} // namespace studio
