// The audio layer behind the BASS_ calls: the one output device (or none), the table of
// open streams, the clock positions are measured against and the thread that decodes
// ahead of the device. Tests and benchmarks swap the device and the clock here.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioClock.h"
#include "audio/AudioDevice.h"
#include "audio/AudioStream.h"
#include "audio/BassAudio.h"

namespace audio {

using DeviceFactory = std::function<std::unique_ptr<AudioDevice>()>;

class AudioLayer : private AudioRenderer {
public:
    static AudioLayer& instance();
    ~AudioLayer();

    // Replaces the output device the next init opens; an empty factory restores SDL.
    void setDeviceFactory(DeviceFactory factory);
    // Replaces the clock (not owned); null restores the steady clock. Set it while no
    // stream plays.
    void setClock(AudioClock* clock);
    double now() { return clock.load()->now(); }

    // device -1 or 1: the default output; 0: no output, streams play on the clock.
    int init(int device, int rate);
    // Closes the device and frees every stream; false if nothing was initialised.
    bool shutdown();
    bool initialised() const { return ready; }
    bool hasDevice() const { return output != nullptr; }
    int start();

    // 0 on failure, with the BASS error code in error.
    HSTREAM createStream(const std::string& path, DWORD flags, int* error);
    bool freeStream(DWORD handle);
    std::shared_ptr<AudioStream> find(DWORD handle);
    // Tops up every device stream's queue from the caller's thread.
    void update();
    // Silences the output; streams play on (and their positions move) as before.
    void setMuted(bool on) { muted = on; }

private:
    AudioLayer();
    void render(std::int16_t* out, int frames) override;
    void decodeLoop();
    void stopDecoding();

    std::atomic<AudioClock*> clock;
    std::atomic<bool> muted{false};
    SteadyAudioClock steadyClock;
    DeviceFactory factory;

    bool ready = false;
    std::unique_ptr<AudioDevice> output;
    DeviceFormat format;
    std::vector<std::int32_t> mix;

    // Guards the table. Never held while waiting on a stream's decoder.
    std::mutex tableMutex;
    std::map<DWORD, std::shared_ptr<AudioStream>> streams;
    DWORD nextHandle = 1;

    std::thread decoding;
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool stopping = false;
};

} // namespace audio
