// Track file writer, shared by the timeline compiler and the asset generators. It checks
// what the reader relies on before anything touches the disk.
#include "sync/TrackWriter.h"

#include <cstdint>
#include <cstring>

#include "base/AtomicFile.h"

namespace {

void putInt32(std::vector<unsigned char>& bytes, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(bits >> shift));
}

void putFloat32(std::vector<unsigned char>& bytes, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putInt32(bytes, static_cast<int32_t>(bits));
}

} // namespace

bool encodeTrack(const TrackKey* keys, int keyCount, std::vector<unsigned char>& bytes, FILE* log)
{
    bytes.clear();
    if (keyCount < 0 || (keyCount > 0 && !keys)) {
        std::fprintf(log, "track: invalid key count %d\n", keyCount);
        return false;
    }
    for (int i = 0; i < keyCount; ++i) {
        if (keys[i].type < INT8_MIN || keys[i].type > INT8_MAX) {
            std::fprintf(log, "track: key %d has type %d, which does not fit the file's type byte\n", i,
                int(keys[i].type));
            return false;
        }
        if (i > 0 && keys[i].row <= keys[i - 1].row) {
            std::fprintf(log, "track: key %d at row %d does not follow row %d\n", i, int(keys[i].row),
                int(keys[i - 1].row));
            return false;
        }
    }
    bytes.reserve(4 + 9 * size_t(keyCount));
    putInt32(bytes, keyCount);
    for (int i = 0; i < keyCount; ++i) {
        putInt32(bytes, keys[i].row);
        putFloat32(bytes, keys[i].value);
        bytes.push_back(static_cast<unsigned char>(static_cast<int8_t>(keys[i].type)));
    }
    return true;
}

bool writeTrackFile(const std::string& path, const TrackKey* keys, int keyCount, FILE* log)
{
    std::vector<unsigned char> bytes;
    if (!encodeTrack(keys, keyCount, bytes, log)) {
        std::fprintf(log, "%s: not written\n", path.c_str());
        return false;
    }
    Tarvo::AtomicFile file(path);
    if (!file.isOpen()) {
        std::fprintf(log, "%s: cannot write: %s\n", path.c_str(), file.error().c_str());
        return false;
    }
    if (!file.write(bytes.data(), bytes.size()) || !file.commit()) {
        std::fprintf(log, "%s: cannot write: %s\n", path.c_str(), file.error().c_str());
        return false;
    }
    return true;
}

bool writeTrackFile(const std::string& path, const std::vector<TrackKey>& keys, FILE* log)
{
    if (keys.size() > size_t(INT32_MAX)) {
        std::fprintf(log, "%s: too many keys for a track file\n", path.c_str());
        return false;
    }
    return writeTrackFile(path, keys.data(), static_cast<int>(keys.size()), log);
}
