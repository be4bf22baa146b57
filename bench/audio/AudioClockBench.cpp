// How well the row clock follows the music on this machine's audio path: 10 s of play,
// the position read once per 60 Hz frame as the show does. Prints the largest step
// between successive reads and the error against the device's own sample count, the
// straight line fitted through (callback time, samples handed minus samples held).
// Usage: audio_clock_bench [SDL_AUDIODRIVER]  (e.g. "dummy" on a machine without sound;
// its callbacks are paced by SDL's timer thread, so a busy machine shows up as jitter).
// VANTOR_BENCH_TRACE=1 prints the reads and callbacks around the largest step error.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mp3/Mp3Writer.h"
#include "mp3/TestTune.h"
#include "audio/AudioLayer.h"
#include "audio/BassAudio.h"
#include "support/BenchSupport.h"

namespace {

constexpr double playSeconds = 10.0;
constexpr double frameSeconds = 1.0 / 60.0;

struct Callback {
    double time;
    double handed;  // device frames handed before this callback
};

// Wraps the real device and notes when each callback came and how much it took.
class RecordingDevice : public audio::AudioDevice, private audio::AudioRenderer {
public:
    bool open(int rate, audio::AudioRenderer* r) override
    {
        renderer = r;
        return inner->open(rate, this);
    }
    void start() override { inner->start(); }
    void close() override { inner->close(); }
    audio::DeviceFormat format() const override { return inner->format(); }

    std::vector<Callback> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }

private:
    void render(std::int16_t* out, int frames) override
    {
        const double now = audio::AudioLayer::instance().now();
        {
            std::lock_guard<std::mutex> lock(mutex);
            calls.push_back({now, handed});
        }
        handed += frames;
        renderer->render(out, frames);
    }

    std::unique_ptr<audio::AudioDevice> inner = audio::makeSdlAudioDevice();
    audio::AudioRenderer* renderer = nullptr;
    std::mutex mutex;
    std::vector<Callback> calls;
    double handed = 0.0;
};

struct Stats {
    double rms = 0.0;
    double max = 0.0;
    double p99 = 0.0;  // of the magnitude: what remains once rare stalls are set aside
};

Stats errors(const std::vector<double>& e)
{
    Stats s;
    std::vector<double> magnitude;
    for (double v : e) {
        s.rms += v * v;
        s.max = std::max(s.max, std::fabs(v));
        magnitude.push_back(std::fabs(v));
    }
    if (e.empty())
        return s;
    s.rms = std::sqrt(s.rms / e.size());
    s.p99 = benchsupport::percentile(magnitude, 99);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        setenv("SDL_AUDIODRIVER", argv[1], 1);
    const auto path = std::filesystem::temp_directory_path() / "vantor-bench-12s.mp3";
    std::string error;
    if (!mp3::writeMp3(path.string(), mp3::makeTestTune(playSeconds + 2.0), 44100, 2, 192, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }

    RecordingDevice* recorder = nullptr;
    audio::AudioLayer::instance().setDeviceFactory([&recorder] {
        auto d = std::make_unique<RecordingDevice>();
        recorder = d.get();
        return d;
    });
    const bool device = BASS_Init(-1, 44100, 0, nullptr, nullptr);
    if (!device)
        recorder = nullptr;  // the layer has already dropped the device that failed
    const HSTREAM s = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    if (s == 0) {
        std::fprintf(stderr, "cannot open the tune (error %d)\n", BASS_ErrorGetCode());
        return 1;
    }
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (device) {
        const audio::DeviceFormat f = recorder->format();
        std::printf("path: SDL output (SDL_AUDIODRIVER=%s), %d Hz, %d ch, %d-frame buffer\n",
                    driver ? driver : "default", f.rate, f.channels, f.bufferFrames);
    } else {
        std::printf("path: no audio device, silent play on the monotonic clock\n");
    }

    BASS_Start();
    const double playTime = audio::AudioLayer::instance().now();
    BASS_ChannelPlay(s, FALSE);
    std::vector<double> readTimes;
    std::vector<double> positions;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 1; n * frameSeconds <= playSeconds; ++n) {
        std::this_thread::sleep_until(start + std::chrono::duration<double>(n * frameSeconds));
        BASS_Update(0);
        const double t = audio::AudioLayer::instance().now();
        positions.push_back(
            BASS_ChannelBytes2Seconds(s, BASS_ChannelGetPosition(s, BASS_POS_BYTE)));
        readTimes.push_back(t);
    }

    double largestStep = 0.0;
    double largestStepError = 0.0;
    std::size_t worstRead = 0;
    std::vector<double> stepErrors;
    for (std::size_t i = 1; i < positions.size(); ++i) {
        const double step = positions[i] - positions[i - 1];
        largestStep = std::max(largestStep, step);
        const double stepError = std::fabs(step - (readTimes[i] - readTimes[i - 1]));
        stepErrors.push_back(stepError);
        if (stepError > largestStepError) {
            largestStepError = stepError;
            worstRead = i;
        }
    }
    if (std::getenv("VANTOR_BENCH_TRACE")) {
        // Where the largest step error happened: the reads and callbacks around it.
        const std::size_t from = worstRead > 5 ? worstRead - 5 : 0;
        for (std::size_t i = from; i < std::min(positions.size(), worstRead + 5); ++i)
            std::fprintf(stderr, "read %zu t=%.4f pos=%.4f\n", i, readTimes[i] - readTimes[0],
                         positions[i]);
        if (recorder)
            for (const Callback& c : recorder->take())
                if (std::fabs(c.time - readTimes[worstRead]) < 0.15)
                    std::fprintf(stderr, "  callback t=%.4f handed=%.0f\n", c.time - readTimes[0], c.handed);
    }
    // A step error is how far a step of the position differs from the time between the
    // two reads: zero for a clock that runs with the music.
    std::printf("reads: %zu at 60 Hz; largest step %.2f ms (frame %.2f ms); step error "
                "max %.2f ms, 99th percentile %.2f ms\n",
                positions.size(), largestStep * 1e3, frameSeconds * 1e3, largestStepError * 1e3,
                errors(stepErrors).p99 * 1e3);

    if (device) {
        // The device's truth: least squares through (time, handed - held) over the run,
        // in device seconds; the music's sample 0 went out at the first callback after
        // play, so the music heard at t is that line less where the music began.
        const audio::DeviceFormat f = recorder->format();
        const std::vector<Callback> calls = recorder->take();
        std::size_t first = 0;
        while (first < calls.size() && calls[first].time < playTime)
            ++first;
        if (first + 2 >= calls.size()) {
            std::printf("device: too few callbacks (%zu) to judge\n", calls.size());
            BASS_Free();
            return 1;
        }
        const double musicStart = calls[first].handed / f.rate;
        const double t0 = calls[first].time;
        double st = 0, sp = 0, stt = 0, stp = 0, n = 0;
        for (std::size_t i = first; i < calls.size(); ++i) {
            const double t = calls[i].time - t0;
            const double p = (calls[i].handed - f.latencyFrames) / f.rate;
            st += t;
            sp += p;
            stt += t * t;
            stp += t * p;
            n += 1;
        }
        const double slope = (n * stp - st * sp) / (n * stt - st * st);
        const double offset = (sp - slope * st) / n;

        std::vector<double> smooth;
        std::vector<double> local;
        std::vector<double> staircase;
        double largestStair = 0.0;
        double lastStair = 0.0;
        std::size_t ci = first;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const double truth =
                std::max(0.0, offset + slope * (readTimes[i] - t0) - musicStart);
            smooth.push_back(positions[i] - truth);
            while (ci + 1 < calls.size() && calls[ci + 1].time <= readTimes[i])
                ++ci;
            const double stair =
                std::max(0.0, (calls[ci].handed - f.latencyFrames) / f.rate - musicStart);
            staircase.push_back(stair - truth);
            // A device that does not keep a steady pace (the dummy driver on a busy
            // machine) is judged against the line between the callbacks around the read.
            if (ci + 1 < calls.size() && calls[ci].time <= readTimes[i]) {
                const Callback& a = calls[ci];
                const Callback& b = calls[ci + 1];
                const double u = (readTimes[i] - a.time) / std::max(1e-9, b.time - a.time);
                const double heard = a.handed + u * (b.handed - a.handed);
                local.push_back(positions[i] -
                                std::max(0.0, (heard - f.latencyFrames) / f.rate - musicStart));
            }
            if (i > 0)
                largestStair = std::max(largestStair, stair - lastStair);
            lastStair = stair;
        }
        const Stats a = errors(smooth);
        const Stats b = errors(staircase);
        const Stats c = errors(local);
        std::printf("device: %zu callbacks, sample clock %+.1f ppm against the monotonic clock\n",
                    calls.size() - first, (slope - 1.0) * 1e6);
        std::printf("heard position vs device truth: RMS %.3f ms, max %.3f ms, 99th "
                    "percentile %.3f ms\n",
                    a.rms * 1e3, a.max * 1e3, a.p99 * 1e3);
        std::printf("heard position vs the callbacks around each read: RMS %.3f ms, max %.3f "
                    "ms, 99th percentile %.3f ms\n",
                    c.rms * 1e3, c.max * 1e3, c.p99 * 1e3);
        std::printf("bare staircase (handed - held at the last callback), for comparison: "
                    "RMS %.3f ms, max %.3f ms, 99th percentile %.3f ms, largest step %.2f ms\n",
                    b.rms * 1e3, b.max * 1e3, b.p99 * 1e3, largestStair * 1e3);
    } else {
        // Silent play is the clock itself: the error is the read's own rounding.
        std::vector<double> e;
        for (std::size_t i = 0; i < positions.size(); ++i)
            e.push_back(positions[i] - (readTimes[i] - readTimes.front() + positions.front()));
        const Stats a = errors(e);
        std::printf("position vs clock: RMS %.3f ms, max %.3f ms\n", a.rms * 1e3, a.max * 1e3);
    }
    BASS_Free();
    std::filesystem::remove(path);
    return 0;
}
