// Evaluating a track at a fractional row: the key at or before the row's whole part
// picks the interpolation towards the next key, and the full row drives it.
#pragma once

#include "sync/SyncTracks.h"

// Binary search for a whole row: the key's index on an exact hit, otherwise -lo - 1
// where lo is the index the row would be inserted at.
int searchKey(const SyncTrack* track, int row);
// Index of the last key at or before row, or -1 before the first key.
int findKey(const SyncTrack* track, int row);
// The track's value at row: 0.0 for no keys, the first key's value before it, the last
// key's value at and after it, and in between the interpolation of the earlier key's type
// (0.0 for a type that is none of Step, Linear, Smooth, Quadratic).
float getTrackValue(const SyncTrack* track, double row);
