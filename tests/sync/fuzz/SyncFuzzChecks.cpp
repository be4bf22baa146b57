#include "fuzz/SyncFuzzChecks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sync/Timeline.h"
#include "sync/TrackEval.h"
#include "sync/TrackReader.h"

namespace syncfuzz {

namespace {

constexpr std::size_t countBytes = 4;
constexpr std::size_t keyBytes = 9;

bool sameKeys(const std::vector<TrackKey>& a, const std::vector<TrackKey>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].row != b[i].row || a[i].type != b[i].type
            || std::memcmp(&a[i].value, &b[i].value, sizeof(float)) != 0)
            return false;
    }
    return true;
}

std::string valuesBetweenKeys(const SyncTrack& track)
{
    for (int i = 0; i + 1 < track.keyCount; ++i) {
        const TrackKey& a = track.keys[i];
        const TrackKey& b = track.keys[i + 1];
        if (!std::isfinite(a.value) || !std::isfinite(b.value))
            continue;
        for (const double t : {0.25, 0.5, 0.999}) {
            const double row = a.row + t * (double(b.row) - double(a.row));
            const float value = getTrackValue(&track, row);
            if (!std::isfinite(value))
                return "value " + std::to_string(value) + " at row " + std::to_string(row)
                    + " between finite keys " + std::to_string(i) + " and " + std::to_string(i + 1);
        }
    }
    return {};
}

} // namespace

std::string checkTrackFile(const std::uint8_t* data, std::size_t size)
{
    // fmemopen refuses an empty buffer; an empty file reads the same as one that ends at once.
    static std::uint8_t nothing = 0;
    FILE* file = fmemopen(size ? const_cast<std::uint8_t*>(data) : &nothing, size ? size : 1, "rb");
    FILE* quiet = std::fopen("/dev/null", "w");
    if (!file || !quiet)
        return "cannot open the bytes as a stream";
    if (size == 0)
        std::fgetc(file);
    SyncTrack track { nullptr, nullptr, 0 };
    const int result = readTrackStream(&track, file, "fuzz", quiet);
    std::fclose(file);
    std::fclose(quiet);

    std::string problem;
    const std::size_t keys = static_cast<std::size_t>(track.keyCount);
    if (result != TrackReadOk && result != TrackReadDamaged)
        problem = "result " + std::to_string(result);
    else if (track.keyCount < 0 || (keys > 0 && !track.keys))
        problem = "key count " + std::to_string(track.keyCount) + " without keys";
    else if (keys > 0 && (size < countBytes || keys > (size - countBytes) / keyBytes))
        problem = std::to_string(keys) + " keys from " + std::to_string(size) + " bytes";
    else if (result == TrackReadOk && size != countBytes + keys * keyBytes)
        problem = "a clean file of " + std::to_string(size) + " bytes with " + std::to_string(keys) + " keys";
    for (std::size_t i = 1; problem.empty() && i < keys; ++i)
        if (track.keys[i].row <= track.keys[i - 1].row)
            problem = "rows do not ascend at key " + std::to_string(i);
    for (std::size_t i = 0; problem.empty() && i < keys; ++i)
        if (!std::isfinite(track.keys[i].value) || track.keys[i].type < Step || track.keys[i].type > Quadratic)
            problem = "key " + std::to_string(i) + " kept with a value or type the evaluator cannot use";
    if (problem.empty())
        problem = valuesBetweenKeys(track);
    std::free(track.keys);
    return problem;
}

std::string checkTimelineText(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Timeline first;
    std::vector<std::string> errors;
    if (!parseTimeline(text, "fuzz", first, errors))
        return errors.empty() ? "refused without saying why" : std::string {};

    const std::string written = formatTimeline(first);
    Timeline second;
    if (!parseTimeline(written, "written", second, errors))
        return "the written timeline does not parse: " + (errors.empty() ? std::string("?") : errors.front());
    if (first.tracks.size() != second.tracks.size())
        return "track count changed from " + std::to_string(first.tracks.size()) + " to "
            + std::to_string(second.tracks.size());
    for (std::size_t i = 0; i < first.tracks.size(); ++i) {
        if (first.tracks[i].name != second.tracks[i].name || !sameKeys(first.tracks[i].keys, second.tracks[i].keys))
            return "track " + first.tracks[i].name + " changed on the way through text";
    }
    if (formatTimeline(second) != written)
        return "writing is not stable";
    return {};
}

} // namespace syncfuzz
