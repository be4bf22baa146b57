// The track store: a growing list of named tracks, each loaded from its file the first
// time anyone asks for it, so every scene asking for "camX" shares one copy of its keys.
#include "sync/SyncTracks.h"

#include "sync/TrackReader.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

char* copyText(const char* text)
{
    const size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy)
        std::memcpy(copy, text, length + 1);
    return copy;
}

void freeTrack(SyncTrack* track)
{
    if (!track)
        return;
    std::free(track->name);
    std::free(track->keys);
    std::free(track);
}

} // namespace

SyncTracks* createSyncTracks(const char* base)
{
    SyncTracks* set = static_cast<SyncTracks*>(std::malloc(sizeof(SyncTracks)));
    if (!set)
        return nullptr;
    set->basePath = copyText(base ? base : "");
    if (!set->basePath) {
        std::free(set);
        return nullptr;
    }
    set->tracks = nullptr;
    set->trackCount = 0;
    return set;
}

void destroySyncTracks(SyncTracks* set)
{
    if (!set)
        return;
    for (int i = 0; i < set->trackCount; ++i)
        freeTrack(set->tracks[i]);
    std::free(set->tracks);
    std::free(set->basePath);
    std::free(set);
}

int findTrack(const SyncTracks* set, const char* name)
{
    if (!set || !name)
        return -1;
    for (int i = 0; i < set->trackCount; ++i) {
        if (std::strcmp(set->tracks[i]->name, name) == 0)
            return i;
    }
    return -1;
}

int addTrack(SyncTracks* set, const char* name)
{
    if (!set || !name)
        return -1;
    SyncTrack* track = static_cast<SyncTrack*>(std::malloc(sizeof(SyncTrack)));
    if (!track)
        return -1;
    track->name = copyText(name);
    track->keys = nullptr;
    track->keyCount = 0;
    // The array is grown before the count so a failed resize leaves the set as it was.
    SyncTrack** grown = static_cast<SyncTrack**>(
        std::realloc(set->tracks, sizeof(SyncTrack*) * (static_cast<size_t>(set->trackCount) + 1)));
    if (!track->name || !grown) {
        if (grown)
            set->tracks = grown;
        freeTrack(track);
        return -1;
    }
    set->tracks = grown;
    set->tracks[set->trackCount] = track;
    return set->trackCount++;
}

const char* trackPath(const char* base, const char* name)
{
    // One buffer shared by every call, as callers expect, but sized to the path: a long
    // base directory or name still yields the whole path instead of overrunning a fixed
    // array or silently loading a different, truncated file name.
    static std::string buffer;
    buffer.assign(base ? base : "");
    buffer += '_';
    buffer += name ? name : "";
    buffer += ".track";
    return buffer.c_str();
}

SyncTrack* getTrack(SyncTracks* set, const char* name)
{
    if (!set || !name)
        return nullptr;
    int index = findTrack(set, name);
    if (index >= 0)
        return set->tracks[index];
    index = addTrack(set, name);
    if (index < 0) {
        std::printf("SYNC TRACK %s: out of memory\n", name);
        return nullptr;
    }
    SyncTrack* track = set->tracks[index];
    // A missing or damaged file has already said so; the track stays as loaded (possibly
    // empty) for the rest of the run, so a name is never read twice.
    readTrackFile(track, trackPath(set->basePath, name));
    return track;
}
