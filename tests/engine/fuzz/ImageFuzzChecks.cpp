#include "fuzz/ImageFuzzChecks.h"

#include <algorithm>
#include <vector>

#include "engine/ImageFiles.h"

namespace imagefuzz {

namespace {
constexpr std::size_t bmpHeader = 54;
constexpr std::size_t ddsHeader = 128;
constexpr int maxSide = 16384;
constexpr std::size_t maxLevels = 15; // 16384 halved down to 1
} // namespace

std::string checkBmp(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    Tarvo::BmpImage image;
    if (!Tarvo::parseBmp(bytes, image))
        return image.pixels.empty() ? std::string {} : "refused, yet holds pixels";
    if (image.width < 1 || image.height < 1 || image.width > maxSide || image.height > maxSide)
        return "accepted a " + std::to_string(image.width) + " x " + std::to_string(image.height) + " image";
    const std::size_t rowBytes = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t(3);
    if (image.pixels.size() != rowBytes * static_cast<std::size_t>(image.height))
        return "pixel bytes do not match the size";
    if (bmpHeader + image.pixels.size() > size)
        return "pixels beyond the end of the file";
    return {};
}

std::string checkDds(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    Tarvo::DdsImage image;
    const Tarvo::DdsResult result = Tarvo::parseDds(bytes, image);
    if (result != Tarvo::DdsResult::Ok)
        return image.levels.empty() ? std::string {} : "refused, yet holds levels";
    if (image.levels.empty() || image.levels.size() > maxLevels)
        return std::to_string(image.levels.size()) + " levels";
    std::size_t next = ddsHeader;
    for (std::size_t i = 0; i < image.levels.size(); ++i) {
        const Tarvo::DdsLevel& level = image.levels[i];
        if (level.offset != next || level.size == 0 || level.offset + level.size > size)
            return "level " + std::to_string(i) + " outside the file or out of order";
        if (level.width < 1 || level.height < 1 || level.width > maxSide || level.height > maxSide)
            return "level " + std::to_string(i) + " has an impossible size";
        if (i > 0) {
            const Tarvo::DdsLevel& previous = image.levels[i - 1];
            if (level.width != std::max(previous.width / 2, 1u) || level.height != std::max(previous.height / 2, 1u))
                return "level " + std::to_string(i) + " is not half the one before";
        }
        next = level.offset + level.size;
    }
    return {};
}

} // namespace imagefuzz
