#include "audio/WebMusicClock.h"

#include <algorithm>

namespace audio {

WebMusicClock::WebMusicClock(double rate, double lengthFrames)
    : frameRate(rate), length(std::max(0.0, lengthFrames)), tracker(rate)
{
}

void WebMusicClock::play(double from, double start)
{
    startFrame = std::clamp(from, 0.0, length);
    contextStart = start;
    lastContextHeard = -1.0;
    lastPosition = startFrame;
    tracker.reset(startFrame);
    isPlaying = true;
}

void WebMusicClock::pause()
{
    isPlaying = false;
}

void WebMusicClock::seek(double frame)
{
    lastPosition = std::clamp(frame, 0.0, length);
    tracker.reset(lastPosition);
}

double WebMusicClock::position(double contextHeard, double heardAt, double time)
{
    if (!isPlaying)
        return lastPosition;
    // Each new timestamp is one measurement, like one device callback; one from before the
    // start says only that nothing of this playback has been heard yet.
    if (contextHeard != lastContextHeard && contextHeard >= contextStart) {
        lastContextHeard = contextHeard;
        tracker.measure(heardAt, startFrame + (contextHeard - contextStart) * frameRate);
    }
    lastPosition = tracker.read(time, length);
    return lastPosition;
}

} // namespace audio
