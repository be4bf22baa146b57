// The mix buses every part renders into. Parts that the kick ducks (stabs, pad, bass and
// the effect returns) go to `duck`; drums and the crackle go to `dry`; the two sends are
// mono and feed the echo and the reverb.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen::music {

struct Buses {
    std::vector<float> dryL, dryR;
    std::vector<float> duckL, duckR;
    std::vector<float> delaySend;
    std::vector<float> reverbSend;

    explicit Buses(int64_t frames)
        : dryL(size_t(frames)), dryR(size_t(frames)), duckL(size_t(frames)), duckR(size_t(frames)),
          delaySend(size_t(frames)), reverbSend(size_t(frames))
    {
    }
    int64_t frames() const { return int64_t(dryL.size()); }
};

} // namespace assetgen::music
