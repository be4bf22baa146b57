// The queue's shutdown order: close it (no more frames), let the workers empty it, and
// only then let the sink finish its output.
#include "capture/QueuedSink.h"

namespace capture {

QueuedSink::QueuedSink(std::size_t queueFrames) : queue(queueFrames) {}

QueuedSink::~QueuedSink()
{
    // Normally already done by the derived destructor; this only stops stray workers.
    queue.close();
    for (std::thread& worker : workers)
        if (worker.joinable())
            worker.join();
}

void QueuedSink::start(int count)
{
    for (int i = 0; i < count; ++i)
        workers.emplace_back([this] { work(); });
}

bool QueuedSink::submit(CapturedFrame frame)
{
    if (failed() || finished)
        return false;
    if (!accepts(frame))
        return false;
    return queue.push(std::move(frame)) && !failed();
}

bool QueuedSink::finish()
{
    if (!finished) {
        finished = true;
        queue.close();
        for (std::thread& worker : workers)
            worker.join();
        workers.clear();
        afterLastFrame();
    }
    return !failed();
}

void QueuedSink::abandon()
{
    // Marked failed first, so the workers drain the queue without encoding it and the
    // sink's last step sees a stream that must not stay.
    fail("abandoned");
    finish();
}

void QueuedSink::work()
{
    while (std::optional<CapturedFrame> frame = queue.pop()) {
        if (!failed())
            encode(*frame);
    }
}

} // namespace capture
