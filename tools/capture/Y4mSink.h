// A YUV4MPEG2 stream of the frames, for piping into a video encoder: 4:4:4 planes in
// BT.709 colours at limited ("TV") range, which is what H.264 players expect. Frames are
// converted and written in order on one writer thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "capture/QueuedSink.h"

namespace Tarvo {
class AtomicFile;
}

namespace capture {

// The stream header line, ending in a newline.
std::string y4mHeader(int width, int height, int fps);

struct Yuv {
    std::uint8_t y, cb, cr;
};
// BT.709 at limited range: Y in [16, 235], Cb and Cr in [16, 240].
Yuv rgbToYuv709(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// One frame's Y, Cb and Cr planes, in that order, top row first.
std::vector<std::uint8_t> yuv444Planes(const CapturedFrame& frame);

class Y4mSink : public QueuedSink {
public:
    // Writes to file, which it closes at finish when ownsFile; name appears in messages.
    Y4mSink(FILE* file, bool ownsFile, std::string name, int width, int height, int fps);
    // Writes the file at path as a whole: it appears (or replaces what was there) only
    // when finish succeeds; a failed or abandoned stream leaves no file behind.
    Y4mSink(const std::string& path, int width, int height, int fps);
    ~Y4mSink() override;

private:
    bool accepts(const CapturedFrame& frame) override;
    void encode(const CapturedFrame& frame) override;
    void afterLastFrame() override;
    bool write(const void* data, size_t size);

    void writeHeader(int fps);

    std::unique_ptr<Tarvo::AtomicFile> output; // when writing a file by path
    FILE* file;
    bool ownsFile;
    std::string name;
    int width;
    int height;
};

} // namespace capture
