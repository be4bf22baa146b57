// The hand-over that every encoder shares: frames wait in a bounded queue and worker
// threads encode them in the order they were queued. After a failure the workers keep
// draining the queue, so the render thread never waits on an encoder that has stopped,
// and submit refuses further frames.
#pragma once

#include <cstddef>
#include <thread>
#include <vector>

#include "capture/BoundedQueue.h"
#include "capture/FrameSink.h"

namespace capture {

class QueuedSink : public FrameSink {
public:
    QueuedSink(const QueuedSink&) = delete;
    QueuedSink& operator=(const QueuedSink&) = delete;

    bool submit(CapturedFrame frame) final;
    bool finish() final;
    void abandon() final;

    int workerCount() const { return static_cast<int>(workers.size()); }

protected:
    explicit QueuedSink(std::size_t queueFrames);
    // A derived sink calls finish() in its own destructor: the workers call its encode,
    // which must not outlive it.
    ~QueuedSink() override;

    // Starts the workers; the derived constructor calls it once it is ready to encode.
    void start(int count);

    // Encodes one frame on a worker thread; failures are reported with fail().
    virtual void encode(const CapturedFrame& frame) = 0;
    // Checked on the render thread before the frame is queued; false (after fail())
    // refuses it.
    virtual bool accepts(const CapturedFrame&) { return true; }
    // Runs once in finish, after the last frame has been encoded.
    virtual void afterLastFrame() {}

private:
    void work();

    BoundedQueue<CapturedFrame> queue;
    std::vector<std::thread> workers;
    bool finished = false;
};

} // namespace capture
