// Track evaluation. Scenes call it dozens of times a frame, so it is a binary search
// and a few floating-point operations, with the precision of each step fixed so that
// every build yields the same values.
#include "sync/TrackEval.h"

#include <climits>
#include <cmath>
#include <cstdint>

int searchKey(const SyncTrack* track, int row)
{
    int lo = 0;
    int hi = track ? track->keyCount : 0;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int32_t midRow = track->keys[mid].row;
        if (midRow < row)
            lo = mid + 1;
        else if (midRow > row)
            hi = mid;
        else
            return mid;
    }
    return -lo - 1;
}

int findKey(const SyncTrack* track, int row)
{
    int i = searchKey(track, row);
    if (i < 0)
        i = -i - 2;
    return i;
}

float getTrackValue(const SyncTrack* track, double row)
{
    if (!track || track->keyCount <= 0 || !track->keys)
        return 0.0f;
    const TrackKey* keys = track->keys;
    const int last = track->keyCount - 1;

    // Rows beyond the int range lie before or after every key; handling them here keeps
    // the conversion to int defined. A row that is not a number counts as before the start.
    const double whole = std::floor(row);
    if (std::isnan(row) || whole < double(INT_MIN))
        return keys[0].value;
    if (whole > double(INT_MAX))
        return keys[last].value;

    const int i = findKey(track, static_cast<int>(whole));
    if (i < 0)
        return keys[0].value;
    if (i > last - 1)
        return keys[last].value;

    const TrackKey& k0 = keys[i];
    const TrackKey& k1 = keys[i + 1];
    // Read unsigned so that negative types land in the default case with unknown ones.
    const uint32_t type = static_cast<uint32_t>(k0.type);
    if (type == Step)
        return k0.value;
    if (type != Linear && type != Smooth && type != Quadratic)
        return 0.0f;

    // The span is taken in 64 bits so rows at opposite ends of the int range cannot
    // overflow; keys built by hand with equal rows give the earlier value instead of a
    // division by zero.
    const int64_t span = int64_t(k1.row) - int64_t(k0.row);
    if (span <= 0)
        return k0.value;
    double t = (row - double(k0.row)) / double(span);
    if (type == Smooth)
        t = t * t * (3.0 - 2.0 * t);
    else if (type == Quadratic)
        t = std::pow(t, 2.0);
    // The difference is taken in single precision, as the stored values are; only keys
    // so far apart that it overflows (near the ends of the float range) take it in
    // double, so that two finite keys always give finite values between them.
    const float difference = k1.value - k0.value;
    const double wide = std::isfinite(difference) || !std::isfinite(k0.value) || !std::isfinite(k1.value)
        ? double(difference)
        : double(k1.value) - double(k0.value);
    return static_cast<float>(double(k0.value) + wide * t);
}
