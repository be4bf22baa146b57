#include "audio/AudioDevice.h"

#include <SDL.h>

#include <cstdio>

namespace audio {

namespace {

// 1024 frames at 44.1 kHz: 23 ms a callback. The position between callbacks comes from
// the clock, so a larger buffer costs latency, not smoothness.
constexpr int requestedBufferFrames = 1024;

class SdlAudioDevice : public AudioDevice {
public:
    ~SdlAudioDevice() override { close(); }

    bool open(int rate, AudioRenderer* r) override
    {
        close();
        // Starting audio starts SDL's event subsystem too, whose own SIGINT and SIGTERM
        // handlers would turn Ctrl-C into a quit event that nothing here reads; the
        // programs handle those signals themselves.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        subsystem = true;
        renderer = r;
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = requestedBufferFrames;
        want.callback = &SdlAudioDevice::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No allowed changes: SDL converts to whatever the hardware wants, so the
        // renderer always sees the format asked for.
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device == 0) {
            std::fprintf(stderr, "audio: no output device: %s\n", SDL_GetError());
            close();
            return false;
        }
        fmt.rate = have.freq;
        fmt.channels = have.channels;
        fmt.bufferFrames = have.samples;
        // While SDL fills one buffer the device plays the one before it.
        fmt.latencyFrames = have.samples;
        return true;
    }

    void start() override
    {
        if (device)
            SDL_PauseAudioDevice(device, 0);
    }

    void close() override
    {
        if (device) {
            // Waits for a running callback to finish.
            SDL_CloseAudioDevice(device);
            device = 0;
        }
        if (subsystem) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            subsystem = false;
        }
        renderer = nullptr;
    }

    DeviceFormat format() const override { return fmt; }

private:
    static void callback(void* self, Uint8* stream, int bytes)
    {
        auto* dev = static_cast<SdlAudioDevice*>(self);
        const int frameBytes = static_cast<int>(sizeof(std::int16_t)) * dev->fmt.channels;
        dev->renderer->render(reinterpret_cast<std::int16_t*>(stream), bytes / frameBytes);
    }

    SDL_AudioDeviceID device = 0;
    bool subsystem = false;
    AudioRenderer* renderer = nullptr;
    DeviceFormat fmt;
};

} // namespace

std::unique_ptr<AudioDevice> makeSdlAudioDevice()
{
    return std::make_unique<SdlAudioDevice>();
}

void preferSilentOutput()
{
    // SDL's own setenv works alike on every platform (POSIX has setenv, Windows does not),
    // and SDL reads the driver's name back through its own getenv.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
}

} // namespace audio
