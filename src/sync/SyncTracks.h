// The track store's core: plain structures for named keyframe tracks and the free
// functions that create the store, find or add a track by name and load its file once.
// Memory comes from malloc/free so the store can be handed around as plain data.
#pragma once

#include <cstdint>
#include <cstdio>

enum InterpolationType : int32_t {
    Step = 0,
    Linear = 1,
    Smooth = 2,
    Quadratic = 3,
};

struct TrackKey {
    int32_t row;
    float value;
    int32_t type; // an InterpolationType; files may hold others (see getTrackValue)
};

struct SyncTrack {
    char* name;     // owned, null-terminated, compared case-sensitively
    TrackKey* keys; // owned, ascending rows
    int keyCount;   // 0 when the file is missing
};

struct SyncTracks {
    char* basePath;     // owned; track files are basePath + "_" + name + ".track"
    SyncTrack** tracks; // owned, in order of first request
    int trackCount;
};

// Null when the structure or the copy of base cannot be allocated.
SyncTracks* createSyncTracks(const char* base);
void destroySyncTracks(SyncTracks* set);

// Index of the first track named exactly name, or -1.
int findTrack(const SyncTracks* set, const char* name);
// Index of a new empty track appended at the end; -1 if memory runs out.
int addTrack(SyncTracks* set, const char* name);

// basePath + "_" + name + ".track". The text lives in one static buffer that the next
// call overwrites (not reentrant); the buffer grows to fit, so no name is too long.
const char* trackPath(const char* base, const char* name);

// The track of that name, loading its file on the first request; a missing file leaves a
// permanent empty track. Null only if memory runs out.
SyncTrack* getTrack(SyncTracks* set, const char* name);
