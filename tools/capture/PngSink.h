// PNG frames, encoded by a few worker threads while the render thread draws the next
// frame. Each file appears complete or not at all.
#pragma once

#include <string>
#include <vector>

#include "capture/QueuedSink.h"

namespace capture {

class PngSink : public QueuedSink {
public:
    // frameBytes is the size of one read-back frame: large pictures get fewer encoders and
    // a shorter queue, so frames in flight stay within about memoryBudget bytes.
    explicit PngSink(size_t frameBytes, int workers = defaultWorkers());
    ~PngSink() override;

    // One encoder per spare core, at least one, at most eight: the render thread keeps a
    // core, and encoding a PNG takes longer than drawing a frame.
    static int defaultWorkers();
    static constexpr size_t memoryBudget = size_t(1) << 30;

private:
    // frame.path names the file.
    void encode(const CapturedFrame& frame) override;
};

} // namespace capture
