// Helpers for the sync tests: a scratch folder per test, and track files assembled byte
// by byte from the file layout, independent of the writer under test.
#pragma once

#include "sync/SyncTracks.h"

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

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

// A scratch folder per test, "vantor-sync-...".
class ScratchFolder : public testsupport::ScratchFolder {
public:
    ScratchFolder() : testsupport::ScratchFolder("sync") {}
};

inline Bytes readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace synctest
