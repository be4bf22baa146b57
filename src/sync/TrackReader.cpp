// Track file reader. The count at the head of a file is only a claim: keys are read one
// at a time and storage grows with what actually arrives, so a corrupt count can neither
// make the reader run past the end of the file nor ask for gigabytes up front.
#include "sync/TrackReader.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t keyBytes = 9;
constexpr int firstCapacity = 256;

int32_t readInt32(const unsigned char* bytes)
{
    const uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
        uint32_t(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

float readFloat32(const unsigned char* bytes)
{
    const uint32_t bits = static_cast<uint32_t>(readInt32(bytes));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TrackKey decodeKey(const unsigned char* bytes)
{
    TrackKey key;
    key.row = readInt32(bytes);
    key.value = readFloat32(bytes + 4);
    // The type byte is signed in the file: 0x80 and above become negative types.
    key.type = static_cast<int8_t>(bytes[8]);
    return key;
}

// Keys read so far, in a buffer that doubles as needed but never beyond the count.
struct KeyBuffer {
    TrackKey* keys = nullptr;
    int count = 0;
    int capacity = 0;

    bool push(const TrackKey& key, int limit)
    {
        if (count == capacity) {
            const int grown = capacity == 0 ? (limit < firstCapacity ? limit : firstCapacity)
                                            : (capacity > limit / 2 ? limit : capacity * 2);
            TrackKey* moved = static_cast<TrackKey*>(std::realloc(keys, sizeof(TrackKey) * size_t(grown)));
            if (!moved)
                return false;
            keys = moved;
            capacity = grown;
        }
        keys[count++] = key;
        return true;
    }
};

enum class KeyFault { None, OutOfOrder, NotFinite, UnknownType };

// Why a key cannot join the track. Evaluation searches the keys by row, which only works
// on strictly ascending rows; a value that is not finite poisons every interpolation it
// takes part in (a NaN field of view is a black frame); a type the evaluator does not know
// gives 0 even on the key's own row. The timeline compiler refuses all three, so a file
// holding them is damaged.
KeyFault faultOf(const TrackKey& key, bool hasPrevious, int32_t previousRow)
{
    if (hasPrevious && key.row <= previousRow)
        return KeyFault::OutOfOrder;
    if (!std::isfinite(key.value))
        return KeyFault::NotFinite;
    if (key.type < Step || key.type > Quadratic)
        return KeyFault::UnknownType;
    return KeyFault::None;
}

// The keys a file loses, told in one line however many there are: a file of descending
// rows would otherwise print a line per key.
struct Refusals {
    int count = 0;
    std::string first;

    void note(int32_t index, const TrackKey& key, KeyFault fault, int32_t previousRow)
    {
        if (count++ > 0)
            return;
        char text[160];
        const int row = int(key.row);
        if (fault == KeyFault::OutOfOrder)
            std::snprintf(text, sizeof text, "key %d at row %d does not follow row %d", int(index), row,
                int(previousRow));
        else if (fault == KeyFault::NotFinite)
            std::snprintf(text, sizeof text, "key %d at row %d has the value %g", int(index), row, double(key.value));
        else
            std::snprintf(text, sizeof text, "key %d at row %d has the unknown interpolation type %d", int(index), row,
                int(key.type));
        first = text;
    }
};

} // namespace

int readTrackFile(SyncTrack* track, const char* path, FILE* log)
{
    if (!track || !path)
        return TrackReadMissing;
    std::free(track->keys);
    track->keys = nullptr;
    track->keyCount = 0;

    FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::fprintf(log, "SYNC TRACK %s NOT FOUND\n", path);
        return TrackReadMissing;
    }
    std::fprintf(log, "SYNC TRACK FOUnD\n");
    const int result = readTrackStream(track, file, path, log);
    std::fclose(file);
    return result;
}

int readTrackStream(SyncTrack* track, FILE* file, const char* path, FILE* log)
{
    if (!track || !file)
        return TrackReadMissing;
    std::free(track->keys);
    track->keys = nullptr;
    track->keyCount = 0;

    unsigned char bytes[keyBytes];
    if (std::fread(bytes, 1, 4, file) != 4) {
        std::fprintf(log, "SYNC TRACK %s: too short to hold a key count\n", path);
        return TrackReadDamaged;
    }
    const int32_t announced = readInt32(bytes);
    bool damaged = false;
    if (announced < 0) {
        std::fprintf(log, "SYNC TRACK %s: negative key count %d\n", path, int(announced));
        damaged = true;
    }

    KeyBuffer buffer;
    int32_t lastRow = 0;
    Refusals refused;
    for (int32_t i = 0; i < announced; ++i) {
        const size_t got = std::fread(bytes, 1, keyBytes, file);
        if (got != keyBytes) {
            std::fprintf(log, "SYNC TRACK %s: file ends after %d of %d keys\n", path, int(i), int(announced));
            damaged = true;
            break;
        }
        const TrackKey key = decodeKey(bytes);
        if (const KeyFault fault = faultOf(key, buffer.count > 0, lastRow); fault != KeyFault::None) {
            refused.note(i, key, fault, lastRow);
            continue;
        }
        if (!buffer.push(key, announced)) {
            std::fprintf(log, "SYNC TRACK %s: out of memory after %d keys\n", path, buffer.count);
            damaged = true;
            break;
        }
        lastRow = key.row;
    }
    if (refused.count > 0) {
        std::fprintf(log, "SYNC TRACK %s: %d of %d keys skipped, the first: %s\n", path, refused.count,
            int(announced), refused.first.c_str());
        damaged = true;
    }
    if (!damaged && std::fgetc(file) != EOF) {
        std::fprintf(log, "SYNC TRACK %s: bytes after the last of %d keys ignored\n", path, int(announced));
        damaged = true;
    }
    if (std::ferror(file)) {
        std::fprintf(log, "SYNC TRACK %s: read error\n", path);
        damaged = true;
    }

    if (buffer.count > 0 && buffer.count < buffer.capacity) {
        TrackKey* fitted = static_cast<TrackKey*>(std::realloc(buffer.keys, sizeof(TrackKey) * size_t(buffer.count)));
        if (fitted)
            buffer.keys = fitted;
    }
    track->keys = buffer.keys;
    track->keyCount = buffer.count;
    return damaged ? TrackReadDamaged : TrackReadOk;
}
