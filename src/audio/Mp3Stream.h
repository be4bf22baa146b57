// One MP3 file decoded with libmpg123: gapless (the encoder delay and padding recorded
// in the LAME/Xing tag are cut, so sample 0 is the music's first sample), always 16-bit
// interleaved, with the exact length known from a scan of the frame headers at open and
// seeks that land on the exact sample.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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
    // read, fewer only at the end. If the data stops short of the scanned length (a
    // damaged file), the rest reads as silence so the stream keeps its length.
    std::uint64_t read(std::int16_t* out, std::uint64_t count);
    // Moves to frame; false, position unchanged, past the end.
    bool seek(std::uint64_t frame);

private:
    Mp3Stream() = default;

    mpg123_handle_struct* handle = nullptr;
    std::unique_ptr<Mp3File> file;
    int sampleRate = 0;
    int channelCount = 0;
    std::uint64_t frames = 0;
    std::uint64_t position = 0;
    // The decoder has nothing more before the end; reads pad with silence.
    bool exhausted = false;
};

} // namespace audio
