#include "audio/AudioStream.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {
// Frames decoded per step of fill(): small enough that the state lock is held briefly.
constexpr std::uint64_t decodeChunk = 4096;
constexpr std::size_t renderChunk = 4096;
} // namespace

AudioStream::AudioStream(std::unique_ptr<Mp3Stream> source, StreamMode mode, DWORD flags)
    : streamMode(mode),
      createFlags(flags),
      sampleRate(source->rate()),
      channelCount(source->channels()),
      frames(source->length()),
      decoder(std::move(source)),
      ring(channelCount,
           mode == StreamMode::Device ? static_cast<std::size_t>(sampleRate * queueSeconds) : 1),
      tracker(sampleRate)
{
    if (streamMode == StreamMode::Device) {
        decodeScratch.resize(decodeChunk * channelCount);
        renderScratch.resize(renderChunk * channelCount);
    }
}

int AudioStream::play(bool restart, double now)
{
    if (streamMode == StreamMode::Decode)
        return BASS_ERROR_DECODE;
    if (restart)
        setPosition(0, now);
    // Queue audio before the device can ask for it.
    fill();
    std::lock_guard<std::mutex> lock(stateMutex);
    positionLocked(now);
    if (state == State::Playing)
        return BASS_OK;
    // At the end there is nothing left to play: the stream stays stopped there.
    if (restPosition >= static_cast<double>(frames)) {
        state = State::Stopped;
        return BASS_OK;
    }
    state = State::Playing;
    silentStart = restPosition;
    silentTime = now;
    tracker.reset(restPosition);
    return BASS_OK;
}

int AudioStream::pause(double now)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    const double position = positionLocked(now);
    if (state == State::Paused)
        return BASS_ERROR_ALREADY;
    if (state != State::Playing)
        return BASS_ERROR_NOPLAY;
    restPosition = position;
    state = State::Paused;
    return BASS_OK;
}

DWORD AudioStream::activity(double now)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    if (streamMode == StreamMode::Decode)
        return restPosition < static_cast<double>(frames) ? BASS_ACTIVE_PLAYING
                                                          : BASS_ACTIVE_STOPPED;
    positionLocked(now);
    switch (state) {
    case State::Playing: return BASS_ACTIVE_PLAYING;
    case State::Paused: return BASS_ACTIVE_PAUSED;
    default: return BASS_ACTIVE_STOPPED;
    }
}

std::uint64_t AudioStream::position(double now)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return static_cast<std::uint64_t>(positionLocked(now));
}

double AudioStream::positionLocked(double now)
{
    if (streamMode == StreamMode::Decode || state == State::Stopped)
        return restPosition;
    if (streamMode == StreamMode::Silent && state == State::Paused)
        return restPosition;
    double position = 0.0;
    if (streamMode == StreamMode::Silent) {
        position = silentStart + std::max(0.0, now - silentTime) * sampleRate;
    } else {
        // Paused, the device still plays out what it was handed: the position runs on
        // to there and stops, so it always names the sample being heard.
        position = tracker.read(now, static_cast<double>(handed));
        if (state == State::Paused) {
            restPosition = std::min(position, static_cast<double>(frames));
            return restPosition;
        }
    }
    if (position >= static_cast<double>(frames)) {
        // The end: reported stopped from now on, and the position stays there.
        position = static_cast<double>(frames);
        state = State::Stopped;
        restPosition = position;
    }
    return position;
}

int AudioStream::setPosition(std::uint64_t frame, double now)
{
    if (frame > frames)
        return BASS_ERROR_POSITION;
    {
        std::lock_guard<std::mutex> decodeLock(decodeMutex);
        if (streamMode != StreamMode::Silent && !decoder->seek(frame))
            return BASS_ERROR_POSITION;
        std::lock_guard<std::mutex> lock(stateMutex);
        ring.clear();
        queued = handed = frame;
        primed = false;
        phase = 0.0;
        restPosition = static_cast<double>(frame);
        silentStart = restPosition;
        silentTime = now;
        tracker.reset(restPosition);
        if (state == State::Playing && frame >= frames)
            state = State::Stopped;
    }
    fill();
    return BASS_OK;
}

int AudioStream::read(std::int16_t* out, std::uint64_t count, std::uint64_t* got)
{
    *got = 0;
    if (streamMode != StreamMode::Decode)
        return BASS_ERROR_NOTAVAIL;
    std::lock_guard<std::mutex> decodeLock(decodeMutex);
    *got = decoder->read(out, count);
    std::lock_guard<std::mutex> lock(stateMutex);
    restPosition = static_cast<double>(decoder->tell());
    return BASS_OK;
}

void AudioStream::fill()
{
    if (streamMode != StreamMode::Device)
        return;
    std::lock_guard<std::mutex> decodeLock(decodeMutex);
    fillLocked();
}

void AudioStream::fillLocked()
{
    for (;;) {
        std::uint64_t want = 0;
        {
            std::lock_guard<std::mutex> lock(stateMutex);
            want = std::min<std::uint64_t>({ring.space(), decodeChunk, frames - queued});
        }
        if (want == 0)
            return;
        // Decoding happens outside the state lock: the device thread never waits on it.
        const std::uint64_t got = decoder->read(decodeScratch.data(), want);
        if (got == 0)
            return;
        std::lock_guard<std::mutex> lock(stateMutex);
        ring.push(decodeScratch.data(), got);
        queued += got;
    }
}

void AudioStream::mixFrame(std::int32_t* out, int deviceChannels, const std::int16_t* in) const
{
    const std::int32_t left = in[0];
    const std::int32_t right = channelCount == 2 ? in[1] : in[0];
    if (deviceChannels == 1) {
        out[0] += (left + right) / 2;
        return;
    }
    out[0] += left;
    out[1] += right;
}

std::size_t AudioStream::renderCopy(std::int32_t* mix, int count, int deviceChannels)
{
    std::size_t produced = 0;
    while (produced < static_cast<std::size_t>(count)) {
        const std::size_t want = std::min(renderChunk, count - produced);
        const std::size_t got = ring.pop(renderScratch.data(), want);
        for (std::size_t i = 0; i < got; ++i)
            mixFrame(mix + (produced + i) * deviceChannels, deviceChannels,
                     renderScratch.data() + i * channelCount);
        produced += got;
        if (got < want)
            break;
    }
    return produced;
}

std::size_t AudioStream::renderResampled(std::int32_t* mix, int count, int deviceChannels,
                                         double step, std::size_t* consumed)
{
    std::size_t produced = 0;
    std::int16_t blended[2];
    while (produced < static_cast<std::size_t>(count)) {
        if (!primed) {
            if (ring.size() < 2)
                break;
            ring.pop(current, 1);
            ring.pop(next, 1);
            *consumed += 2;
            phase = 0.0;
            primed = true;
        }
        while (phase >= 1.0 && ring.size() > 0) {
            std::copy_n(next, channelCount, current);
            ring.pop(next, 1);
            ++*consumed;
            phase -= 1.0;
        }
        if (phase >= 1.0)
            break;  // starved: wait for more decoded frames
        for (int c = 0; c < channelCount; ++c)
            blended[c] = static_cast<std::int16_t>(
                std::lround(current[c] + (next[c] - current[c]) * phase));
        mixFrame(mix + produced * deviceChannels, deviceChannels, blended);
        ++produced;
        phase += step;
    }
    return produced;
}

void AudioStream::render(std::int32_t* mix, int count, const DeviceFormat& format, double now)
{
    if (streamMode != StreamMode::Device || count <= 0)
        return;
    std::lock_guard<std::mutex> lock(stateMutex);
    if (state != State::Playing)
        return;
    const double step = static_cast<double>(sampleRate) / format.rate;
    // The device still holds latencyFrames of earlier samples: the one being heard now
    // is that far behind what had been handed over.
    const double heard = static_cast<double>(handed) - format.latencyFrames * step;
    std::size_t consumed = 0;
    if (format.rate == sampleRate)
        consumed = renderCopy(mix, count, format.channels);
    else
        renderResampled(mix, count, format.channels, step, &consumed);
    // A callback that got nothing (an underrun, or the end) says nothing about where
    // the device is; the position then stops at what was handed.
    if (consumed > 0)
        tracker.measure(now, heard);
    handed += consumed;
}

} // namespace audio
