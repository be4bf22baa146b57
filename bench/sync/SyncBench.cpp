// Cost of one TrackHandle::getValue call on tracks of 10, 1,000 and 100,000 keys, for
// rows spread over the whole track and for the show's pattern (every track read at one
// row per frame, the row creeping forward). Prints nanoseconds per call.
#include "sync/Sync.h"
#include "sync/SyncTracks.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int rowsPerKey = 8;
constexpr size_t rowSamples = 1 << 16;
constexpr long long callsPerCase = 20'000'000;

std::vector<TrackKey> makeKeys(int count)
{
    std::vector<TrackKey> keys;
    keys.reserve(size_t(count));
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    for (int i = 0; i < count; ++i)
        keys.push_back({i * rowsPerKey, value(random), static_cast<int32_t>(i % 4)});
    return keys;
}

std::vector<double> spreadRows(int keyCount)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<double> row(-10.0, double(keyCount) * rowsPerKey + 10.0);
    std::vector<double> rows(rowSamples);
    for (double& r : rows)
        r = row(random);
    return rows;
}

// 25 tracks read at a row advancing by 1/3 row a frame (60 frames a second at 20 rows a
// second), wrapping at the end of the track.
std::vector<double> showRows(int keyCount)
{
    std::vector<double> rows(rowSamples);
    const double end = double(keyCount) * rowsPerKey;
    double row = 0.0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i % 25 == 0)
            row += 1.0 / 3.0;
        if (row >= end)
            row = 0.0;
        rows[i] = row;
    }
    return rows;
}

double nanosecondsPerCall(const TrackHandle& handle, const std::vector<double>& rows, float& sink)
{
    float sum = 0.0f;
    const auto start = std::chrono::steady_clock::now();
    for (long long call = 0; call < callsPerCase; ++call)
        sum += handle.getValue(rows[size_t(call) & (rowSamples - 1)]);
    const auto stop = std::chrono::steady_clock::now();
    sink += sum;
    return std::chrono::duration<double, std::nano>(stop - start).count() / double(callsPerCase);
}

} // namespace

int main()
{
    float sink = 0.0f;
    std::printf("%-10s %14s %14s\n", "keys", "spread ns/call", "show ns/call");
    for (const int keyCount : {10, 1000, 100000}) {
        std::vector<TrackKey> keys = makeKeys(keyCount);
        SyncTrack track{nullptr, keys.data(), keyCount};
        const TrackHandle handle(&track);
        const std::vector<double> spread = spreadRows(keyCount);
        const std::vector<double> show = showRows(keyCount);
        nanosecondsPerCall(handle, spread, sink); // warm caches and clocks
        const double spreadNs = nanosecondsPerCall(handle, spread, sink);
        const double showNs = nanosecondsPerCall(handle, show, sink);
        std::printf("%-10d %14.2f %14.2f\n", keyCount, spreadNs, showNs);
    }
    // Printing the sum keeps the compiler from dropping the calls.
    std::printf("(checksum %g)\n", double(sink));
    return 0;
}
