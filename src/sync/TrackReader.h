// Reads one binary track file into a track: a little-endian int32 key count, then per
// key an int32 row, a float32 value and a signed type byte.
#pragma once

#include "sync/SyncTracks.h"

#include <cstdio>

enum TrackReadResult {
    TrackReadOk = 0,      // every key the count announced, valid and in ascending rows
    TrackReadMissing = 1, // the file could not be opened; the track has no keys
    TrackReadDamaged = 2, // opened, but short, overlong or with keys refused; see the log
};

// Replaces the track's keys with the file's. A damaged file keeps exactly the complete
// keys that are present, in ascending order, with a finite value and a known interpolation
// type, so nothing past the file is read or allocated whatever the count says. Keys refused
// are told in one line per file (how many, and the first). Messages go to log (the show's
// standard output; tools pass stderr to keep their own output clean).
int readTrackFile(SyncTrack* track, const char* path, FILE* log = stdout);
// The same from a file that is already open (named path in the messages), without the
// FOUnD line; the caller closes the file. Fuzzing feeds bytes in memory through here.
int readTrackStream(SyncTrack* track, FILE* file, const char* path, FILE* log = stdout);
