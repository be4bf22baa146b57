// The scenes' view of the sync tracks: a store that loads each named track once from
// its file, and handles that evaluate one track at a row.
#pragma once

#include <string>

namespace synctime { class Timer; }
struct SyncTrack;
struct SyncTracks;
struct Timeline;

class TrackHandle {
public:
    explicit TrackHandle(const SyncTrack* track = nullptr) : track(track) {}

    // The track's value at a fractional row; 0.0 for a track without keys.
    float getValue(double row) const;
    const SyncTrack* getTrack() const { return track; }

private:
    const SyncTrack* track;
};

class Sync {
public:
    // Null (after printing "VOI VITTU") when the store cannot be allocated. The timer is
    // kept for editors that drive the clock; playback does not use it.
    static Sync* create(const std::string& basePath, synctime::Timer* timer);
    ~Sync();
    Sync(const Sync&) = delete;
    Sync& operator=(const Sync&) = delete;

    // Loads the track file on the first request for a name; later requests share it.
    TrackHandle getTrack(const std::string& name);
    // Always true: playback has nothing that can stop the show.
    bool update(double row);

    // Puts a recompiled timeline's keys in place of the tracks' own while the show runs.
    // Every track stays where it is, so the handles the scenes hold read the new keys from
    // their next evaluation on. A track the timeline names that nobody has requested yet
    // joins the store with its keys (a later request gets them, not an older file); a
    // track the timeline no longer names loses its keys and reads 0, as a track whose file
    // is missing does. All or nothing: false, with every track's keys unchanged, when
    // memory runs out. Returns true otherwise.
    bool replaceKeys(const Timeline& timeline);

private:
    explicit Sync(SyncTracks* tracks) : tracks(tracks) {}
    SyncTracks* tracks;
};
