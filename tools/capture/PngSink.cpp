// PNG encoding with stb_image_write on worker threads.
#include "capture/PngSink.h"

#include <stb_image_write.h>

#include <algorithm>
#include <thread>

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
    if (!writePng(frame.path, frame.width, frame.height, topDownRgb(frame), why))
        fail(why);
}

} // namespace capture
