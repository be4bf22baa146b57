// A sync track held by a test, built from its keys alone: no file, no store. Evaluate it
// through handle(), as a scene would.
#pragma once

#include <utility>
#include <vector>

#include "sync/Sync.h"
#include "sync/SyncTracks.h"

namespace testsupport {

class KeyedTrack {
public:
    explicit KeyedTrack(std::vector<TrackKey> keys) : keys(std::move(keys))
    {
        track.name = nullptr;
        track.keys = this->keys.empty() ? nullptr : this->keys.data();
        track.keyCount = static_cast<int>(this->keys.size());
    }
    KeyedTrack(const KeyedTrack&) = delete;
    KeyedTrack& operator=(const KeyedTrack&) = delete;

    TrackHandle handle() const { return TrackHandle(&track); }

private:
    std::vector<TrackKey> keys;
    SyncTrack track;
};

} // namespace testsupport
