// The sound output behind an interface: the layer hands it a renderer and the device
// pulls 16-bit interleaved samples from it on its own thread. SDL is the real one; tests
// drive a silent fake whose callbacks they trigger themselves.
#pragma once

#include <cstdint>
#include <memory>

namespace audio {

class AudioRenderer {
public:
    // Fills out with frames × channels samples. Runs on the device's thread and must not
    // wait on anything slow.
    virtual void render(std::int16_t* out, int frames) = 0;

protected:
    ~AudioRenderer() = default;
};

struct DeviceFormat {
    int rate = 44100;
    int channels = 2;
    // Frames asked for by one callback.
    int bufferFrames = 1024;
    // Frames the device still holds, not yet heard, when a callback starts.
    int latencyFrames = 1024;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    // Opens the default output at about rate Hz; false when there is none.
    virtual bool open(int rate, AudioRenderer* renderer) = 0;
    // Starts pulling samples; the renderer may be called from then on.
    virtual void start() = 0;
    // Stops pulling; no callback runs once this returns.
    virtual void close() = 0;
    virtual DeviceFormat format() const = 0;
};

// The default output through SDL's audio subsystem.
std::unique_ptr<AudioDevice> makeSdlAudioDevice();

// Makes the SDL outputs this process opens from now on silent stand-ins that play nothing
// (SDL's dummy driver), unless the environment already names a driver: for programs that
// decode the music without playing it and must stay off the sound card.
void preferSilentOutput();

} // namespace audio
