#include "engine/PngFile.h"

#include <stb_image_write.h>

#include "base/AtomicFile.h"

namespace Tarvo {

namespace {

void appendBytes(void* context, void* data, int size)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

} // namespace

bool writePngFile(const std::string& path, int width, int height, int channels,
    const std::vector<std::uint8_t>& pixels, std::string& why)
{
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4
        || pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels) {
        why = path + ": no picture to write";
        return false;
    }
    std::vector<std::uint8_t> png;
    if (!stbi_write_png_to_func(appendBytes, &png, width, height, channels, pixels.data(), width * channels)
        || png.empty()) {
        why = path + ": PNG encoding failed";
        return false;
    }
    std::string error;
    if (!writeFileAtomically(path, png.data(), png.size(), error)) {
        why = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace Tarvo
