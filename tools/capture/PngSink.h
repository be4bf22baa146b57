// PNG frames, encoded by a few worker threads while the render thread draws the next
// frame. Each file appears complete or not at all.
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "capture/BoundedQueue.h"
#include "capture/FrameSink.h"

namespace capture {

class PngSink : public FrameSink {
public:
    // frameBytes is the size of one read-back frame: large pictures get fewer encoders and
    // a shorter queue, so frames in flight stay within about memoryBudget bytes.
    explicit PngSink(size_t frameBytes, int workers = defaultWorkers());
    ~PngSink() override;
    PngSink(const PngSink&) = delete;
    PngSink& operator=(const PngSink&) = delete;

    // frame.path names the file.
    bool submit(CapturedFrame frame) override;
    bool finish() override;

    // One encoder per spare core, at least one, at most eight: the render thread keeps a
    // core, and encoding a PNG takes longer than drawing a frame.
    static int defaultWorkers();
    static constexpr size_t memoryBudget = size_t(1) << 30;
    int workerCount() const { return static_cast<int>(threads.size()); }

private:
    void work();

    BoundedQueue<CapturedFrame> queue;
    std::vector<std::thread> threads;
    bool finished = false;
};

// Encodes top-down RGB as PNG and writes it to path through a temporary file beside it.
// False, with why set, when encoding or writing fails.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& why);

} // namespace capture
