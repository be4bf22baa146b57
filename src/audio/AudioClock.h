// The monotonic clock the audio layer measures positions against. It is an interface
// so that tests and benchmarks can step time themselves instead of waiting on it.
#pragma once

#include <chrono>

namespace audio {

class AudioClock {
public:
    // Seconds since an arbitrary origin, never decreasing; called from the frame loop
    // and from the device's thread.
    virtual double now() = 0;

protected:
    ~AudioClock() = default;
};

class SteadyAudioClock : public AudioClock {
public:
    double now() override
    {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace audio
