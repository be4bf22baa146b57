// Where captured frames go once they are read back: encoders that run beside the render
// thread. The render thread hands over a frame and goes on with the next one; a failed
// write is kept and reported, and stops the capture at the next hand-over.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace capture {

// The window's pixels as GL reads them fastest, in the window's own layout: blue, green,
// red, alpha, bottom row first. The encoders reorder them on their own threads.
struct CapturedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
    std::string path; // the file this frame becomes, for sinks that write one per frame
};

// RGB with the top row first, as image files and video streams store pictures.
std::vector<std::uint8_t> topDownRgb(const CapturedFrame& frame);

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Queues the frame, waiting while the encoders are busy. False once a write has failed.
    virtual bool submit(CapturedFrame frame) = 0;
    // Waits until everything queued is written and stops the encoders. False if any write
    // failed.
    virtual bool finish() = 0;
    // Stops without finishing: frames not yet written are dropped, and an output that
    // would be left incomplete (a stream file) is removed. Frames already written as
    // files of their own stay.
    virtual void abandon() = 0;

    bool failed() const { return hasFailed.load(); }
    std::string error() const;

protected:
    // The first failure is the one reported; later ones are usually its consequences.
    void fail(const std::string& why);

private:
    mutable std::mutex errorMutex;
    std::string firstError;
    std::atomic<bool> hasFailed{false};
};

} // namespace capture
