// Shared pieces of the audio tests: a clock the test steps by hand, a silent output
// device whose callbacks the test triggers, generated MP3 files (made once per run with
// the encoder) and a fixture that leaves the audio layer as it found it.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioClock.h"
#include "audio/AudioDevice.h"
#include "audio/AudioLayer.h"
#include "audio/BassAudio.h"
#include "support/ScratchDir.h"

namespace audiotest {

class SteppedClock : public audio::AudioClock {
public:
    double now() override { return time.load(); }
    void advance(double seconds) { time.store(time.load() + seconds); }
    void set(double seconds) { time.store(seconds); }

private:
    std::atomic<double> time{1000.0};
};

// Plays nothing; the test pulls samples through it with pump().
class FakeDevice : public audio::AudioDevice {
public:
    explicit FakeDevice(audio::DeviceFormat format, bool opens = true)
        : fmt(format), opens(opens) {}

    bool open(int, audio::AudioRenderer* r) override
    {
        renderer = opens ? r : nullptr;
        return opens;
    }
    void start() override { started = true; }
    void close() override { renderer = nullptr; }
    audio::DeviceFormat format() const override { return fmt; }

    // One device callback of frames frames; returns what the device would have played.
    std::vector<std::int16_t> pump(int frames)
    {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * fmt.channels, 1234);
        if (renderer)
            renderer->render(out.data(), frames);
        return out;
    }

    bool started = false;

private:
    audio::DeviceFormat fmt;
    bool opens;
    audio::AudioRenderer* renderer = nullptr;
};

struct Tune {
    std::string path;
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> pcm;  // what went into the encoder
};

// A generated test tune encoded to MP3 in the run's scratch folder; made once per
// (seconds, rate, channels) and kept for the rest of the run.
const Tune& tune(double seconds, int rate = 44100, int channels = 2);
// The run's scratch folder, which keeps the tunes; removed when the run ends.
const testsupport::ScratchDir& scratch();

// Every sample of the file through a decode-only stream.
std::vector<std::int16_t> decodeAll(const std::string& path);

// Resets the layer around each test: no device, no streams, a stepped clock.
class AudioFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the next BASS_Init open a fake device of this format (or fail to open one).
    void useFakeDevice(audio::DeviceFormat format, bool opens = true);
    // BASS_Init on the real SDL output with the named audio driver, and the real clock.
    bool initWithSdlDriver(const char* driver);

    SteppedClock clock;
    FakeDevice* device = nullptr;
};

} // namespace audiotest
