// A fixed-size queue of decoded frames between the decoder and the device callback.
// Not synchronised: its owner guards it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace audio {

class AudioRing {
public:
    AudioRing(int channels, std::size_t capacityFrames)
        : channels(channels), capacity(std::max<std::size_t>(1, capacityFrames)),
          data(capacity * channels)
    {
    }

    std::size_t size() const { return count; }
    std::size_t space() const { return capacity - count; }
    void clear() { head = count = 0; }

    // Appends up to frames frames; returns how many fitted.
    std::size_t push(const std::int16_t* in, std::size_t frames)
    {
        frames = std::min(frames, space());
        for (std::size_t done = 0; done < frames;) {
            const std::size_t tail = (head + count) % capacity;
            const std::size_t run = std::min(frames - done, capacity - tail);
            std::copy_n(in + done * channels, run * channels, data.begin() + tail * channels);
            count += run;
            done += run;
        }
        return frames;
    }

    // Removes up to frames frames into out; returns how many there were.
    std::size_t pop(std::int16_t* out, std::size_t frames)
    {
        frames = std::min(frames, count);
        for (std::size_t done = 0; done < frames;) {
            const std::size_t run = std::min(frames - done, capacity - head);
            std::copy_n(data.begin() + head * channels, run * channels, out + done * channels);
            head = (head + run) % capacity;
            count -= run;
            done += run;
        }
        return frames;
    }

private:
    int channels;
    std::size_t capacity;
    std::vector<std::int16_t> data;
    std::size_t head = 0;
    std::size_t count = 0;
};

} // namespace audio
