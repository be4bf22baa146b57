// The human-readable timeline: several named tracks in one text file, compiled into one
// binary track file per track. Format (also described in tools/synctool/README.md):
//
//   # comment to the end of the line, anywhere
//   track camX
//   0     0.0   linear
//   64    10.5  smooth
//
// A key is ROW VALUE INTERPOLATION: a decimal int32 row, a finite decimal value and one
// of step, linear, smooth, quadratic. Rows ascend strictly within a track; track names
// are letters, digits, '_' and '-', each used once.
#pragma once

#include "sync/SyncTracks.h"

#include <string>
#include <vector>

struct TimelineTrack {
    std::string name;
    std::vector<TrackKey> keys;
    int line = 0; // where its "track" line stands
};

struct Timeline {
    std::vector<TimelineTrack> tracks;
};

// Parses text read from fileName. Every problem is appended to errors as
// "FILE:LINE: message"; true only when there are none (the timeline then holds at least
// one track).
bool parseTimeline(const std::string& text, const std::string& fileName, Timeline& timeline,
    std::vector<std::string>& errors);
// Reads and parses a file; a file that cannot be read is an error like any other.
bool loadTimeline(const std::string& path, Timeline& timeline, std::vector<std::string>& errors);
// The timeline as text that parses back to the same tracks, key for key (values in the
// shortest form that reads back as the same float).
std::string formatTimeline(const Timeline& timeline);

// "step", "linear", "smooth", "quadratic", or null for any other type.
const char* interpolationName(int32_t type);
// The type named (exactly, lower case); false for an unknown name.
bool interpolationFromName(const std::string& name, int32_t& type);
// A name a track file may carry: non-empty, letters, digits, '_' and '-' only, so that
// base + "_" + name + ".track" stays one file beside the base.
bool isTrackName(const std::string& name);
