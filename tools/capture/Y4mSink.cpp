// YUV4MPEG2 writing: header, colour conversion and the ordered writer thread.
#include "capture/Y4mSink.h"

#include <cerrno>
#include <cstring>

#include "base/AtomicFile.h"

namespace capture {

namespace {

constexpr size_t queueFrames = 3;

// BT.709 luma weights, and the chroma scales that map B−Y and R−Y onto [−0.5, 0.5].
constexpr float kr = 0.2126f;
constexpr float kb = 0.0722f;
constexpr float kg = 1.0f - kr - kb;
constexpr float cbScale = 1.0f / (2.0f * (1.0f - kb));
constexpr float crScale = 1.0f / (2.0f * (1.0f - kr));
// Limited range: 219 steps of luma above 16, 224 steps of chroma around 128.
constexpr float lumaSteps = 219.0f;
constexpr float chromaSteps = 224.0f;

std::uint8_t toByte(float v)
{
    const float rounded = v + 0.5f;
    return static_cast<std::uint8_t>(rounded < 0.0f ? 0.0f : rounded > 255.0f ? 255.0f : rounded);
}

} // namespace

std::string y4mHeader(int width, int height, int fps)
{
    // XCOLORRANGE tells readers that know it (ffmpeg does) the range; the colour matrix
    // has no tag in this format and is given to the encoder instead.
    return "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F" +
           std::to_string(fps) + ":1 Ip A1:1 C444 XCOLORRANGE=LIMITED\n";
}

Yuv rgbToYuv709(std::uint8_t r8, std::uint8_t g8, std::uint8_t b8)
{
    const float r = r8 / 255.0f;
    const float g = g8 / 255.0f;
    const float b = b8 / 255.0f;
    const float y = kr * r + kg * g + kb * b;
    return {toByte(16.0f + lumaSteps * y), toByte(128.0f + chromaSteps * (b - y) * cbScale),
            toByte(128.0f + chromaSteps * (r - y) * crScale)};
}

std::vector<std::uint8_t> yuv444Planes(const CapturedFrame& frame)
{
    const std::vector<std::uint8_t> rgb = topDownRgb(frame);
    const size_t pixels = rgb.size() / 3;
    std::vector<std::uint8_t> planes(pixels * 3);
    std::uint8_t* y = planes.data();
    std::uint8_t* cb = y + pixels;
    std::uint8_t* cr = cb + pixels;
    for (size_t i = 0; i < pixels; ++i) {
        const Yuv c = rgbToYuv709(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        y[i] = c.y;
        cb[i] = c.cb;
        cr[i] = c.cr;
    }
    return planes;
}

Y4mSink::Y4mSink(FILE* file, bool ownsFile, std::string name, int width, int height, int fps)
    : QueuedSink(queueFrames), file(file), ownsFile(ownsFile), name(std::move(name)), width(width), height(height)
{
    writeHeader(fps);
}

Y4mSink::Y4mSink(const std::string& path, int width, int height, int fps)
    : QueuedSink(queueFrames), output(std::make_unique<Tarvo::AtomicFile>(path)), file(output->stream()),
      ownsFile(false), name(path), width(width), height(height)
{
    if (!output->isOpen()) {
        fail(name + ": " + output->error());
        return;
    }
    writeHeader(fps);
}

void Y4mSink::writeHeader(int fps)
{
    const std::string header = y4mHeader(width, height, fps);
    if (write(header.data(), header.size()))
        start(1);
}

Y4mSink::~Y4mSink()
{
    finish();
}

bool Y4mSink::accepts(const CapturedFrame& frame)
{
    if (frame.width == width && frame.height == height)
        return true;
    fail(name + ": a frame of " + std::to_string(frame.width) + "x" + std::to_string(frame.height) +
         " does not fit the stream's " + std::to_string(width) + "x" + std::to_string(height));
    return false;
}

void Y4mSink::encode(const CapturedFrame& frame)
{
    static const char frameTag[] = "FRAME\n";
    const std::vector<std::uint8_t> planes = yuv444Planes(frame);
    if (write(frameTag, sizeof frameTag - 1))
        write(planes.data(), planes.size());
}

void Y4mSink::afterLastFrame()
{
    if (output) {
        // A stream that failed or was abandoned part way is not left behind as a file
        // that players would open as if it were whole.
        if (failed())
            output->abandon();
        else if (!output->commit())
            fail(name + ": " + output->error());
        file = nullptr;
        return;
    }
    if (file && std::fflush(file) != 0)
        fail(name + ": " + std::strerror(errno));
    if (file && ownsFile && std::fclose(file) != 0)
        fail(name + ": " + std::strerror(errno));
    file = nullptr;
}

bool Y4mSink::write(const void* data, size_t size)
{
    if (!file) {
        fail(name + ": not open");
        return false;
    }
    if (std::fwrite(data, 1, size, file) != size) {
        // A reader that went away (a closed pipe) ends the capture with its reason.
        fail(name + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace capture
