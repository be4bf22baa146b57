// Track files for the sync tests, assembled byte by byte from the file layout,
// independent of the writer under test.
#pragma once

#include "sync/SyncTracks.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace synctest {

using Bytes = std::vector<unsigned char>;

inline void putInt32(Bytes& bytes, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(bits >> shift));
}

inline void putKey(Bytes& bytes, int32_t row, float value, unsigned char type)
{
    putInt32(bytes, row);
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putInt32(bytes, static_cast<int32_t>(bits));
    bytes.push_back(type);
}

} // namespace synctest
