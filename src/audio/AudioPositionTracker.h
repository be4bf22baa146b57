// Which sample is being heard right now. The device only reports at its callbacks: the
// samples handed over minus those it still holds, a staircase in buffer-sized steps (a
// 1024-frame buffer is a 23 ms jump, a visible judder of the camera). Between callbacks
// the position runs on the monotonic clock; each callback nudges that line towards what
// the device reported instead of jumping to it, and slowly learns the device's true
// pace, which can differ from its nominal rate against the system clock.
#pragma once

namespace audio {

class AudioPositionTracker {
public:
    explicit AudioPositionTracker(double rate = 44100.0) : rate(rate), pace(rate) {}

    // Starts over at a known position (play, resume, seek). Until the next measurement
    // the position stays there: nothing past it has been heard yet. The learned pace is
    // kept: it belongs to the device, not to the stream.
    void reset(double position);
    // A device callback at time: the device was about to play frame heard.
    void measure(double time, double heard);
    // The position at time, clamped between the last read (it never goes back) and
    // ceiling (what has been handed to the device).
    double read(double time, double ceiling);

    bool measured() const { return measurements > 0; }
    // Frames per second of the monotonic clock, as learned from the callbacks.
    double framesPerSecond() const { return pace; }

    // Corrections larger than this (seconds) re-anchor instead of nudging: a seek, an
    // underrun, a stalled device.
    static constexpr double resyncSeconds = 0.1;
    // The smallest share of a callback's error taken into the position. Early callbacks
    // take more (their running mean), so bursts while the device fills its buffers
    // average out.
    static constexpr double minGain = 1.0 / 32.0;
    // The share of a callback's error taken into the pace, per mean interval between
    // callbacks (the mean, not each interval: in a burst of back-to-back callbacks the
    // second would otherwise count many times over); and the farthest the pace may
    // stray from the nominal rate.
    static constexpr double paceGain = minGain * minGain / 2.0;
    static constexpr double maxPaceDrift = 0.05;

private:
    double rate;
    double pace;
    double anchorPosition = 0.0;
    double anchorTime = 0.0;
    int measurements = 0;
    double meanInterval = 0.0;
    double lastRead = 0.0;
};

} // namespace audio
