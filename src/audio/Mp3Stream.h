// One MP3 file decoded with libmpg123: gapless (the encoder delay and padding recorded
// in the LAME/Xing tag are cut, so sample 0 is the music's first sample), always 16-bit
// interleaved, with the exact length known from a scan of the frame headers at open and
// seeks that land on the exact sample. Damage of any length inside the file plays as
// silence of the length it destroyed (Mp3FrameMap), so every sample after it keeps its
// time and the stream its length.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/Mp3FrameMap.h"

struct mpg123_handle_struct;

namespace audio {

class Mp3File;

class Mp3Stream {
public:
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // Null, with the reason in error, when the file is missing, unreadable or holds no
    // MPEG audio.
    static std::unique_ptr<Mp3Stream> open(const std::string& path, std::string* error);

    int rate() const { return sampleRate; }
    int channels() const { return channelCount; }
    // Frames (samples per channel) in the whole stream.
    std::uint64_t length() const { return frames; }
    // The next frame read returns.
    std::uint64_t tell() const { return position; }

    // Reads up to count frames into out (count × channels samples); returns the frames
    // read, fewer only at the end. Damaged stretches, and data the decoder fails on, read
    // as silence: a decoding error is damage, never the end of the stream.
    std::uint64_t read(std::int16_t* out, std::uint64_t count);
    // Moves to frame; false, position unchanged, past the end.
    bool seek(std::uint64_t frame);

private:
    Mp3Stream() = default;

    // The MPEG frame that plays in time slot slot, or -1 for silence.
    std::int64_t frameInSlot(std::uint64_t slot);
    // Decodes count samples of MPEG frame frame from sample within on; false (out
    // untouched) when the decoder cannot give them.
    bool decode(std::int64_t frame, std::uint64_t within, std::int16_t* out, std::uint64_t count);

    static constexpr std::uint64_t unknown = ~std::uint64_t(0);

    mpg123_handle_struct* handle = nullptr;
    std::unique_ptr<Mp3File> file;
    int sampleRate = 0;
    int channelCount = 0;
    std::uint64_t samplesPerFrame = 0;
    // Samples of the first slot before the music's first sample (encoder and decoder
    // delay), which the decoder is told not to cut itself: it would stop cutting them,
    // and shift everything, on any file whose frame count differs from its tag's.
    std::uint64_t leadIn = 0;
    FrameSlots placement;
    std::uint64_t frames = 0;
    std::uint64_t position = 0;
    // The decoder's next sample, counted over the frames it found; unknown after a
    // failure, so the next read seeks.
    std::uint64_t decoderAt = unknown;
    std::size_t slotHint = 0;
    long preframes = 0; // the decoder's own choice, for seeks far from damage
};

} // namespace audio
