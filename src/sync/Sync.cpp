// The two thin classes in front of the track store: Sync owns the store for one base
// path, TrackHandle evaluates one of its tracks.
#include "sync/Sync.h"

#include "sync/SyncTracks.h"
#include "sync/TrackEval.h"

#include <cstdio>
#include <new>

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
