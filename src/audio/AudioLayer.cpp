#include "audio/AudioLayer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>

namespace audio {

namespace {
// How often the decoding thread tops up the queues; far shorter than a queue lasts.
constexpr auto decodePeriod = std::chrono::milliseconds(10);
constexpr int defaultRate = 44100;
constexpr std::size_t mixFrames = 4096;
} // namespace

AudioLayer& AudioLayer::instance()
{
    static AudioLayer layer;
    return layer;
}

AudioLayer::AudioLayer() : clock(&steadyClock) {}

AudioLayer::~AudioLayer()
{
    shutdown();
}

void AudioLayer::setDeviceFactory(DeviceFactory f)
{
    factory = std::move(f);
}

void AudioLayer::setClock(AudioClock* c)
{
    clock.store(c ? c : &steadyClock);
}

int AudioLayer::init(int device, int rate)
{
    if (ready)
        return BASS_ERROR_ALREADY;
    if (device == 0) {
        ready = true;
        return BASS_OK;
    }
    if (device != -1 && device != 1)
        return BASS_ERROR_DEVICE;
    std::unique_ptr<AudioDevice> candidate = factory ? factory() : makeSdlAudioDevice();
    if (!candidate || !candidate->open(rate > 0 ? rate : defaultRate, this))
        return BASS_ERROR_DEVICE;
    format = candidate->format();
    const std::size_t frames = std::max<std::size_t>(mixFrames, format.bufferFrames);
    mix.assign(frames * std::max(1, format.channels), 0);
    output = std::move(candidate);
    ready = true;
    stopping = false;
    decoding = std::thread(&AudioLayer::decodeLoop, this);
    output->start();
    return BASS_OK;
}

void AudioLayer::stopDecoding()
{
    if (!decoding.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(wakeMutex);
        stopping = true;
    }
    wake.notify_all();
    decoding.join();
}

bool AudioLayer::shutdown()
{
    const bool wasReady = ready;
    stopDecoding();
    if (output) {
        // After close no callback runs, so the streams can go.
        output->close();
        output.reset();
    }
    std::map<DWORD, std::shared_ptr<AudioStream>> closing;
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        closing.swap(streams);
    }
    ready = false;
    return wasReady;
}

int AudioLayer::start()
{
    if (!ready)
        return BASS_ERROR_INIT;
    if (output)
        output->start();
    return BASS_OK;
}

HSTREAM AudioLayer::createStream(const std::string& path, DWORD flags, int* error)
{
    std::string why;
    std::unique_ptr<Mp3Stream> decoder = Mp3Stream::open(path, &why);
    if (!decoder) {
        const bool readable = std::ifstream(path, std::ios::binary).good();
        *error = readable ? BASS_ERROR_FILEFORM : BASS_ERROR_FILEOPEN;
        std::fprintf(stderr, "audio: cannot open %s: %s\n", path.c_str(),
                     readable ? why.c_str() : "no such file or not readable");
        return 0;
    }
    const StreamMode mode = (flags & BASS_STREAM_DECODE) ? StreamMode::Decode
                            : output                     ? StreamMode::Device
                                                         : StreamMode::Silent;
    auto stream = std::make_shared<AudioStream>(std::move(decoder), mode, flags);
    std::lock_guard<std::mutex> lock(tableMutex);
    DWORD handle = nextHandle++;
    while (handle == 0 || streams.count(handle))
        handle = nextHandle++;
    streams.emplace(handle, std::move(stream));
    *error = BASS_OK;
    return handle;
}

bool AudioLayer::freeStream(DWORD handle)
{
    std::shared_ptr<AudioStream> gone;
    std::lock_guard<std::mutex> lock(tableMutex);
    auto it = streams.find(handle);
    if (it == streams.end())
        return false;
    // The device thread renders under tableMutex, so it is done with this stream; the
    // decoding thread may still hold it and frees it when it lets go.
    gone = std::move(it->second);
    streams.erase(it);
    return true;
}

std::shared_ptr<AudioStream> AudioLayer::find(DWORD handle)
{
    std::lock_guard<std::mutex> lock(tableMutex);
    auto it = streams.find(handle);
    return it == streams.end() ? nullptr : it->second;
}

void AudioLayer::update()
{
    std::vector<std::shared_ptr<AudioStream>> playing;
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        for (const auto& [handle, stream] : streams)
            if (stream->mode() == StreamMode::Device)
                playing.push_back(stream);
    }
    for (const auto& stream : playing)
        stream->fill();
}

void AudioLayer::decodeLoop()
{
    std::unique_lock<std::mutex> lock(wakeMutex);
    while (!stopping) {
        lock.unlock();
        update();
        lock.lock();
        wake.wait_for(lock, decodePeriod, [this] { return stopping; });
    }
}

void AudioLayer::render(std::int16_t* out, int frames)
{
    if (frames <= 0)
        return;
    const double time = now();
    const std::size_t samples = static_cast<std::size_t>(frames) * std::max(1, format.channels);
    // Each stream sees one call per callback (its position measurement depends on it),
    // so an unusually large request grows the buffer instead of being split.
    if (mix.size() < samples)
        mix.resize(samples);
    std::fill_n(mix.begin(), samples, 0);
    std::lock_guard<std::mutex> lock(tableMutex);
    for (const auto& [handle, stream] : streams)
        stream->render(mix.data(), frames, format, time);
    if (muted)
        std::fill_n(mix.begin(), samples, 0);
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(mix[i], -32768, 32767));
}

} // namespace audio
