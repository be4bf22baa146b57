// PNG encoding with stb_image_write on worker threads.
#include "capture/PngSink.h"

#include <stb_image_write.h>

#include <algorithm>

#include "base/AtomicFile.h"

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

void appendBytes(void* context, void* data, int size)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

} // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& why)
{
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
        why = path + ": no picture to write";
        return false;
    }
    std::vector<std::uint8_t> png;
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, 3, rgb.data(), width * 3) || png.empty()) {
        why = path + ": PNG encoding failed";
        return false;
    }
    // A capture that is stopped half-way leaves no truncated frame behind.
    std::string error;
    if (!Tarvo::writeFileAtomically(path, png.data(), png.size(), error)) {
        why = path + ": " + error;
        return false;
    }
    return true;
}

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
    : queue(std::clamp<size_t>(memoryBudgetOf(frameBytes, 2), 1, 2 * static_cast<size_t>(workersFor(frameBytes, workers))))
{
    const int count = workersFor(frameBytes, workers);
    for (int i = 0; i < count; ++i)
        threads.emplace_back([this] { work(); });
}

PngSink::~PngSink()
{
    finish();
}

bool PngSink::submit(CapturedFrame frame)
{
    if (failed() || finished)
        return false;
    return queue.push(std::move(frame)) && !failed();
}

bool PngSink::finish()
{
    if (!finished) {
        finished = true;
        queue.close();
        for (std::thread& thread : threads)
            thread.join();
        threads.clear();
    }
    return !failed();
}

void PngSink::work()
{
    while (std::optional<CapturedFrame> frame = queue.pop()) {
        // After a failure the queue is still drained, so the render thread never waits
        // on encoders that have stopped.
        if (failed())
            continue;
        std::string why;
        if (!writePng(frame->path, frame->width, frame->height, topDownRgb(*frame), why))
            fail(why);
    }
}

} // namespace capture
