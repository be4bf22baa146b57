// An alpha-beta filter on the device's sample counter: the position follows the
// callbacks with a small gain, the pace with a smaller one, so a device that runs a
// little fast or slow against the system clock is followed without a standing lag.
#include "audio/AudioPositionTracker.h"

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
    const double interval = time - anchorTime;
    const double predicted = anchorPosition + interval * pace;
    const double error = heard - predicted;
    if (std::fabs(error) > resyncSeconds * rate) {
        anchorPosition = heard;
        measurements = 1;
    } else {
        ++measurements;
        const double gain = std::max(minGain, 1.0 / measurements);
        anchorPosition = predicted + gain * error;
        // measurements - 1 intervals so far: their running mean, then a slow average.
        meanInterval += (std::max(0.0, interval) - meanInterval) *
                        std::max(minGain, 1.0 / (measurements - 1));
        // While the first callbacks are still being averaged there is no pace to learn.
        if (gain == minGain && meanInterval > 0.0) {
            pace += paceGain * error / meanInterval;
            pace = std::clamp(pace, rate * (1.0 - maxPaceDrift), rate * (1.0 + maxPaceDrift));
        }
    }
    anchorTime = time;
}

double AudioPositionTracker::read(double time, double ceiling)
{
    double position = lastRead;
    if (measurements > 0)
        position = anchorPosition + (time - anchorTime) * pace;
    position = std::max(lastRead, std::min(position, ceiling));
    lastRead = position;
    return position;
}

} // namespace audio
