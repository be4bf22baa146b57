#include "audio/Mp3FrameMap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace audio {

namespace {

// Kilobits a second by bitrate index 1 to 14.
constexpr int mpeg1Kbps[3][14] = {
    { 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 }, // layer I
    { 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },    // layer II
    { 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 },     // layer III
};
constexpr int mpeg2Kbps[2][14] = {
    { 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 }, // layer I
    { 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 },      // layers II and III
};
constexpr int baseRates[3] = { 44100, 48000, 32000 };

bool follows(const std::vector<std::int64_t>& offsets, const std::vector<int>& bytes, std::size_t i)
{
    return i > 0 && bytes[i - 1] > 0 && offsets[i - 1] + bytes[i - 1] == offsets[i];
}

// Moves the silence between frames so that it adds up to target, each gap's share in
// proportion to its estimate (largest remainders first). Untrusted frames inside a gap
// keep the slots they have; only the silence around them changes.
void fitGaps(std::vector<std::uint64_t>& extra, std::uint64_t target)
{
    std::uint64_t estimated = 0;
    for (const std::uint64_t e : extra)
        estimated += e;
    if (estimated == 0 || estimated == target)
        return;
    std::vector<std::pair<double, std::size_t>> remainders;
    std::uint64_t given = 0;
    for (std::size_t i = 0; i < extra.size(); ++i) {
        if (extra[i] == 0)
            continue;
        const double share = double(extra[i]) * double(target) / double(estimated);
        extra[i] = static_cast<std::uint64_t>(share);
        given += extra[i];
        remainders.emplace_back(share - double(extra[i]), i);
    }
    std::sort(remainders.begin(), remainders.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = 0; given < target && k < remainders.size(); ++k, ++given)
        ++extra[remainders[k].second];
}

} // namespace

int mpegFrameBytes(std::uint32_t header)
{
    if ((header & 0xFFE00000u) != 0xFFE00000u)
        return 0;
    const int version = (header >> 19) & 3; // 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
    const int layerBits = (header >> 17) & 3; // 1 layer III, 2 layer II, 3 layer I
    const int bitrateIndex = (header >> 12) & 15;
    const int rateIndex = (header >> 10) & 3;
    const int padding = (header >> 9) & 1;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return 0;
    const int layer = 4 - layerBits;
    const bool mpeg1 = version == 3;
    const int rate = baseRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int kbps = mpeg1 ? mpeg1Kbps[layer - 1][bitrateIndex - 1] : mpeg2Kbps[layer == 1 ? 0 : 1][bitrateIndex - 1];
    const long bitsPerSecond = kbps * 1000L;
    if (layer == 1)
        return static_cast<int>((12 * bitsPerSecond / rate + padding) * 4);
    if (layer == 3 && !mpeg1)
        return static_cast<int>(72 * bitsPerSecond / rate + padding);
    return static_cast<int>(144 * bitsPerSecond / rate + padding);
}

FrameSlots placeFrames(const std::vector<std::int64_t>& offsets, const std::vector<int>& bytes,
    std::int64_t taggedFrames)
{
    FrameSlots placed;
    const std::size_t n = offsets.size();
    placed.slot.resize(n);
    placed.trusted.assign(n, true);
    if (n == 0 || bytes.size() != n)
        return placed;

    // The stream's frame length, from the frames that lie in runs: damage cannot skew it.
    double lengthSum = 0.0;
    std::size_t lengthCount = 0;
    for (std::size_t i = 0; i < n; ++i) {
        placed.trusted[i] = n == 1 || follows(offsets, bytes, i) || (i + 1 < n && follows(offsets, bytes, i + 1));
        if (placed.trusted[i] && bytes[i] > 0) {
            lengthSum += bytes[i];
            ++lengthCount;
        }
    }
    // Without one frame of known length (a free-format stream) nothing can be judged:
    // the frames are taken as they come.
    if (lengthCount == 0) {
        for (std::size_t i = 0; i < n; ++i) {
            placed.slot[i] = i;
            placed.trusted[i] = true;
        }
        placed.slots = n;
        return placed;
    }
    const double frameLength = lengthSum / double(lengthCount);

    // Silence before each frame: none where it follows on, else the frames the bytes from
    // the last trusted frame would have held, less the frames found in between.
    std::vector<std::uint64_t> extra(n, 0);
    std::uint64_t slot = 0;
    std::size_t anchor = 0;
    bool anchored = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && !follows(offsets, bytes, i)) {
            std::uint64_t next = slot + 1;
            if (anchored) {
                const double span = double(offsets[i] - offsets[anchor]) / frameLength;
                const auto estimate = placed.slot[anchor] + std::max<std::uint64_t>(1, std::llround(span));
                next = std::max(next, estimate);
            }
            extra[i] = next - slot - 1;
            slot = next;
        } else if (i > 0) {
            ++slot;
        }
        placed.slot[i] = slot;
        if (placed.trusted[i]) {
            anchor = i;
            anchored = true;
        }
    }

    // The info tag's count is the undamaged stream's: fit the silence to it when the
    // difference is within what rounding and inserted bytes can explain. A tag far off
    // (a file cut short as well) leaves the estimates as they are.
    if (taggedFrames >= static_cast<std::int64_t>(n)) {
        const auto target = static_cast<std::uint64_t>(taggedFrames) - n;
        std::uint64_t estimated = 0;
        std::uint64_t gaps = 0;
        for (const std::uint64_t e : extra) {
            estimated += e;
            gaps += e > 0;
        }
        const std::uint64_t off = target > estimated ? target - estimated : estimated - target;
        if (gaps > 0 && off <= estimated / 2 + gaps) {
            fitGaps(extra, target);
            std::uint64_t at = 0;
            for (std::size_t i = 0; i < n; ++i) {
                at += extra[i] + (i > 0 ? 1 : 0);
                placed.slot[i] = at;
            }
        }
    }
    placed.slots = placed.slot[n - 1] + 1;
    return placed;
}

} // namespace audio
