#include "runtime/AudioPositionTracker.h"

#include <algorithm>
#include <cmath>

namespace audio {

void AudioPositionTracker::reset(double position)
{
    anchorPosition = position;
    anchorTime = 0.0;
    measurements = 0;
    lastRead = position;
}

void AudioPositionTracker::measure(double time, double heard)
{
    if (measurements == 0) {
        anchorPosition = heard;
        anchorTime = time;
        measurements = 1;
        return;
    }
    const double predicted = anchorPosition + (time - anchorTime) * rate;
    const double error = heard - predicted;
    if (std::fabs(error) > resyncSeconds * rate) {
        anchorPosition = heard;
        measurements = 1;
    } else {
        ++measurements;
        const double gain = std::max(minGain, 1.0 / measurements);
        anchorPosition = predicted + gain * error;
    }
    anchorTime = time;
}

double AudioPositionTracker::read(double time, double ceiling)
{
    double position = lastRead;
    if (measurements > 0)
        position = anchorPosition + (time - anchorTime) * rate;
    position = std::max(lastRead, std::min(position, ceiling));
    lastRead = position;
    return position;
}

} // namespace audio
