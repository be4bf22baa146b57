// Shared parts of the frame encoders: the first-error record and the flip from the
// window's bottom-up BGRA to top-down RGB.
#include "capture/FrameSink.h"

#include <cstring>

namespace capture {

std::vector<std::uint8_t> topDownRgb(const CapturedFrame& frame)
{
    const size_t w = frame.width > 0 ? static_cast<size_t>(frame.width) : 0;
    const size_t h = frame.height > 0 ? static_cast<size_t>(frame.height) : 0;
    std::vector<std::uint8_t> rgb(w * h * 3);
    // A frame whose buffer does not match its size is treated as black rather than read
    // past its end.
    if (frame.bgra.size() < w * h * 4)
        return rgb;
    for (size_t y = 0; y < h; ++y) {
        const std::uint8_t* in = frame.bgra.data() + (h - 1 - y) * w * 4;
        std::uint8_t* out = rgb.data() + y * w * 3;
        for (size_t x = 0; x < w; ++x) {
            out[3 * x] = in[4 * x + 2];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x];
        }
    }
    return rgb;
}

std::string FrameSink::error() const
{
    std::lock_guard<std::mutex> lock(errorMutex);
    return firstError;
}

void FrameSink::fail(const std::string& why)
{
    std::lock_guard<std::mutex> lock(errorMutex);
    if (!hasFailed.load()) {
        firstError = why;
        hasFailed.store(true);
    }
}

} // namespace capture
