// Encodes 16-bit PCM into an MP3 file with libmp3lame. The file opens with the LAME
// info tag (written over LAME's placeholder frame once encoding is done): it records
// the encoder delay and padding, so a gapless decoder returns exactly the samples that
// went in, sample 0 first. The file appears complete or not at all: it is written beside
// its target and renamed into place by finish().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/AtomicFile.h"

namespace mp3 {

class Mp3Writer {
public:
    Mp3Writer() = default;
    ~Mp3Writer();
    Mp3Writer(const Mp3Writer&) = delete;
    Mp3Writer& operator=(const Mp3Writer&) = delete;

    // channels is 1 or 2; kbps a constant bit rate that MP3 offers (e.g. 128).
    bool open(const std::string& path, int sampleRate, int channels, int kbps);
    // interleaved holds frames × channels samples.
    bool write(const std::int16_t* interleaved, std::size_t frames);
    // Flushes the encoder, writes the info tag and puts the finished file in place.
    bool finish();

    const std::string& error() const { return message; }

private:
    bool fail(const std::string& why);
    bool writeBytes(const unsigned char* bytes, std::size_t count);
    void release();

    void* lame = nullptr;
    std::optional<Tarvo::AtomicFile> file;
    int channels = 0;
    std::vector<unsigned char> buffer;
    std::string message;
};

// One-call form: encodes the whole buffer. Returns false and fills error on failure.
bool writeMp3(const std::string& path, const std::vector<std::int16_t>& interleaved,
              int sampleRate, int channels, int kbps, std::string* error = nullptr);

} // namespace mp3
