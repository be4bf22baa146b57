// The music's position in a browser. Web Audio plays a decoded buffer on its own and reports
// what is being heard only as an output timestamp (the context time heard at a page-clock
// time) that moves in steps of 9 to 20 ms: used directly, the camera would judder. The
// timestamps feed the same tracker that smooths the native device's callbacks, so the row
// runs on the page clock between them and never steps back.
#pragma once

#include "audio/AudioPositionTracker.h"

namespace audio {

class WebMusicClock {
public:
    WebMusicClock(double rate, double lengthFrames);

    // Playback of frame from onwards starts at context time contextStart.
    void play(double from, double contextStart);
    // Stops where the position last read stands; play resumes from there.
    void pause();
    // Moves the position; a playing stream must be started again from it.
    void seek(double frame);

    // The frame heard at time (seconds on the page clock), given the latest output
    // timestamp: contextHeard was being heard at heardAt. Between the start and the first
    // timestamp past it the position stays at the start.
    double position(double contextHeard, double heardAt, double time);

    bool playing() const { return isPlaying; }
    // Played to the end: nothing is left to keep time by.
    bool ended() const { return lastPosition >= length; }
    double rate() const { return frameRate; }
    double lengthFrames() const { return length; }
    double lastRead() const { return lastPosition; }

private:
    double frameRate;
    double length;
    AudioPositionTracker tracker;
    bool isPlaying = false;
    double startFrame = 0.0;
    double contextStart = 0.0;
    double lastContextHeard = -1.0;
    double lastPosition = 0.0;
};

} // namespace audio
