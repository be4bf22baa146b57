// PNG encoding on worker threads.
#include "capture/PngSink.h"

#include <algorithm>
#include <thread>

#include "engine/PngFile.h"

namespace capture {

namespace {

constexpr int maxWorkers = 8;

// How many items of copies × frameBytes fit in half the budget (the other half is for
// the encoders or the queue).
size_t memoryBudgetOf(size_t frameBytes, size_t copies)
{
    const size_t each = std::max<size_t>(frameBytes, 1) * copies;
    return PngSink::memoryBudget / 2 / each;
}

} // namespace

int PngSink::defaultWorkers()
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores - 1, 1, maxWorkers);
}

namespace {

// An encoder holds about three copies of its frame (the read-back, the flipped picture
// and the PNG); a queued frame holds one.
int workersFor(size_t frameBytes, int workers)
{
    const size_t fit = memoryBudgetOf(frameBytes, 3);
    return std::clamp(static_cast<int>(std::min<size_t>(fit, maxWorkers)), 1, std::clamp(workers, 1, maxWorkers));
}

} // namespace

PngSink::PngSink(size_t frameBytes, int workers)
    : QueuedSink(std::clamp<size_t>(memoryBudgetOf(frameBytes, 2), 1,
                                    2 * static_cast<size_t>(workersFor(frameBytes, workers))))
{
    start(workersFor(frameBytes, workers));
}

PngSink::~PngSink()
{
    finish();
}

void PngSink::encode(const CapturedFrame& frame)
{
    std::string why;
    // A capture that is stopped half-way leaves no truncated frame behind.
    if (!Tarvo::writePngFile(frame.path, frame.width, frame.height, 3, topDownRgb(frame), why))
        fail(why);
}

} // namespace capture
