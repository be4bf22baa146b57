// Writes keys as a binary track file, the layout the show's reader loads: a little-endian
// int32 key count, then per key an int32 row, a float32 value and a signed type byte.
#pragma once

#include "sync/SyncTracks.h"

#include <cstdio>
#include <string>
#include <vector>

// The file's bytes for these keys. False (with a message on log) if the keys could not
// be read back as given: rows not strictly ascending, or a type outside a signed byte.
bool encodeTrack(const TrackKey* keys, int keyCount, std::vector<unsigned char>& bytes, FILE* log = stderr);

// Encodes and writes the keys to path. The bytes go to a temporary file beside path that
// is renamed over it at the end, so a failed write never leaves a half-written track.
bool writeTrackFile(const std::string& path, const TrackKey* keys, int keyCount, FILE* log = stderr);
bool writeTrackFile(const std::string& path, const std::vector<TrackKey>& keys, FILE* log = stderr);
