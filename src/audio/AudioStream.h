// One music stream: its decoder, where it plays (through the device, silently on the
// clock when there is no device, or nowhere: decode-only, read by a tool), its play state
// and the position of what is being heard. Frame-loop calls and the device thread meet
// here; each stream guards itself with two locks, decoder first, then state.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/AudioDevice.h"
#include "audio/AudioPositionTracker.h"
#include "audio/AudioRing.h"
#include "audio/BassAudio.h"
#include "audio/Mp3Stream.h"

namespace audio {

enum class StreamMode { Device, Silent, Decode };

class AudioStream {
public:
    AudioStream(std::unique_ptr<Mp3Stream> decoder, StreamMode mode, DWORD flags);
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    int rate() const { return sampleRate; }
    int channels() const { return channelCount; }
    std::uint64_t length() const { return frames; }
    StreamMode mode() const { return streamMode; }
    DWORD flags() const { return createFlags; }

    // Frame-loop calls. Results are BASS_OK or a BASS_ERROR_ code; now is the clock.
    int play(bool restart, double now);
    int pause(double now);
    DWORD activity(double now);
    // In frames from the stream's sample 0.
    std::uint64_t position(double now);
    int setPosition(std::uint64_t frame, double now);
    // Decode-only streams: the next frames, advancing the position.
    int read(std::int16_t* out, std::uint64_t count, std::uint64_t* got);

    // Device streams: decodes ahead until the queue to the device is full. Called by the
    // layer's decoding thread and by BASS_Update, never by the device thread.
    void fill();
    // Device thread: adds this stream's next frames into mix, in the device's format.
    void render(std::int32_t* mix, int count, const DeviceFormat& format, double now);

    // Seconds of decoded audio queued ahead of the device.
    static constexpr double queueSeconds = 0.5;

private:
    enum class State { Stopped, Playing, Paused };

    void fillLocked();
    double positionLocked(double now);
    std::size_t renderCopy(std::int32_t* mix, int count, int deviceChannels);
    std::size_t renderResampled(std::int32_t* mix, int count, int deviceChannels, double step,
                                std::size_t* consumed);
    void mixFrame(std::int32_t* out, int deviceChannels, const std::int16_t* in) const;

    // Fixed at creation.
    const StreamMode streamMode;
    const DWORD createFlags;
    const int sampleRate;
    const int channelCount;
    const std::uint64_t frames;

    // Guarded by decodeMutex, taken before stateMutex.
    std::mutex decodeMutex;
    std::unique_ptr<Mp3Stream> decoder;
    std::vector<std::int16_t> decodeScratch;

    // Guarded by stateMutex.
    std::mutex stateMutex;
    State state = State::Stopped;
    // Where the stream is while not playing (and a decode stream's read position).
    double restPosition = 0.0;
    // Silent play: the position runs on the clock from here.
    double silentStart = 0.0;
    double silentTime = 0.0;
    // Device play: decoded frames queue up in ring; handed counts those the device took.
    AudioRing ring;
    std::uint64_t queued = 0;
    std::uint64_t handed = 0;
    AudioPositionTracker tracker;
    std::vector<std::int16_t> renderScratch;
    // Linear interpolation when the stream's rate is not the device's.
    bool primed = false;
    double phase = 0.0;
    std::int16_t current[2] = {0, 0};
    std::int16_t next[2] = {0, 0};
};

} // namespace audio
