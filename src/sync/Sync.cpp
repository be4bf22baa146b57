// The two thin classes in front of the track store: Sync owns the store for one base
// path, TrackHandle evaluates one of its tracks.
#include "sync/Sync.h"

#include "sync/SyncTracks.h"
#include "sync/Timeline.h"
#include "sync/TrackEval.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

float TrackHandle::getValue(double row) const
{
    return getTrackValue(track, row);
}

Sync* Sync::create(const std::string& basePath, synctime::Timer* /*timer*/)
{
    SyncTracks* tracks = createSyncTracks(basePath.c_str());
    Sync* sync = tracks ? new (std::nothrow) Sync(tracks) : nullptr;
    if (!sync) {
        destroySyncTracks(tracks);
        std::printf("VOI VITTU\n");
        return nullptr;
    }
    return sync;
}

Sync::~Sync()
{
    // Handles point into the store, so they die with it; the show never destroys its Sync.
    destroySyncTracks(tracks);
}

TrackHandle Sync::getTrack(const std::string& name)
{
    return TrackHandle(::getTrack(tracks, name.c_str()));
}

bool Sync::update(double /*row*/)
{
    return true;
}

bool Sync::replaceKeys(const Timeline& timeline)
{
    // The new key arrays are all made before any track changes, so running out of memory
    // half-way leaves every track as it was.
    std::vector<TrackKey*> fresh(static_cast<size_t>(tracks->trackCount), nullptr);
    std::vector<int> counts(fresh.size(), 0);
    auto discard = [&fresh] {
        for (TrackKey* keys : fresh)
            std::free(keys);
        return false;
    };
    for (const TimelineTrack& source : timeline.tracks) {
        int index = findTrack(tracks, source.name.c_str());
        if (index < 0) {
            // A new empty track changes no value anyone reads, even if what follows fails.
            index = addTrack(tracks, source.name.c_str());
            if (index < 0)
                return discard();
            fresh.push_back(nullptr);
            counts.push_back(0);
        }
        if (source.keys.empty())
            continue;
        const size_t bytes = sizeof(TrackKey) * source.keys.size();
        TrackKey* keys = static_cast<TrackKey*>(std::malloc(bytes));
        if (!keys)
            return discard();
        std::memcpy(keys, source.keys.data(), bytes);
        std::free(fresh[size_t(index)]); // a name given twice: the later keys win
        fresh[size_t(index)] = keys;
        counts[size_t(index)] = static_cast<int>(source.keys.size());
    }
    for (int i = 0; i < tracks->trackCount; ++i) {
        SyncTrack* track = tracks->tracks[i];
        std::free(track->keys);
        track->keys = fresh[size_t(i)];
        track->keyCount = counts[size_t(i)];
    }
    return true;
}
