// The music of a capture's span as a 16-bit PCM WAV file. Samples come from a PcmSource,
// so the file's exact length and content can be checked against a fake source as well as
// the real decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/FramePlan.h"
#include "audio/BassAudio.h"

namespace capture {

// Interleaved 16-bit samples from some position on.
class PcmSource {
public:
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    // Moves to a sample frame; false when it lies past the end (nothing left to read).
    virtual bool seek(std::uint64_t frame) = 0;
    // Up to count frames into out; 0 at the end, −1 on a read error.
    virtual long read(std::int16_t* out, long count) = 0;

protected:
    ~PcmSource() = default;
};

// A decode-only stream of the audio layer.
class StreamPcmSource : public PcmSource {
public:
    explicit StreamPcmSource(HSTREAM stream);
    bool valid() const { return ok; }
    int rate() const override { return sampleRate; }
    int channels() const override { return channelCount; }
    bool seek(std::uint64_t frame) override;
    long read(std::int16_t* out, long count) override;

private:
    HSTREAM stream;
    bool ok = false;
    int sampleRate = 0;
    int channelCount = 0;
};

// The 44-byte RIFF header of 16-bit PCM audio with this many sample frames.
std::vector<std::uint8_t> wavHeader(int rate, int channels, std::uint64_t frames);

// Writes span.count frames from span.first on; whatever lies past the source's end is
// silence, so the file is always exactly as long as the span. Written through a temporary
// file beside path. False, with why set, on a bad source, a span too long for the format
// or a failed write.
bool writeWav(const std::string& path, PcmSource& source, const SampleSpan& span, std::string& why);

} // namespace capture
