#include "engine/ImageFiles.h"

#include <cstdio>
#include <cstring>

namespace Tarvo {

namespace {

constexpr std::size_t bmpHeaderSize = 54;
constexpr std::size_t ddsMagicSize = 4;
constexpr std::size_t ddsHeaderSize = 124;

std::uint32_t readLe32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8)
        | (static_cast<std::uint32_t>(bytes[2]) << 16)
        | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint16_t readLe16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

} // namespace

std::string imageSizeRefusal(std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0)
        return "it claims a size of " + std::to_string(width) + "x" + std::to_string(height);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width > maxImageSide || height > maxImageSide)
        return size + " has a side over the limit of " + std::to_string(maxImageSide)
            + " pixels, the largest texture GL drivers commonly take";
    const auto pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixels > maxImagePixels)
        return size + " is " + std::to_string(pixels) + " pixels, over the limit of "
            + std::to_string(maxImagePixels) + " (8192x8192, 256 MiB decoded) that keeps an image from taking "
            + "gigabytes to decode";
    return {};
}

bool readFileBytes(const char* path, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return false;
    // Grown as the bytes arrive, so a file that lies about nothing can still not make
    // the reader allocate more than it holds.
    std::uint8_t block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool parseBmp(const std::vector<std::uint8_t>& bytes, BmpImage& image, std::string* tooLarge)
{
    if (bytes.size() < bmpHeaderSize)
        return false;
    const std::uint8_t* header = bytes.data();
    if (header[0] != 'B' || header[1] != 'M' || readLe32(header + 30) != 0 || readLe16(header + 28) != 24)
        return false;

    // Negative heights (top-down files) and absurd sizes are refused rather than trusted.
    const auto width = static_cast<std::int32_t>(readLe32(header + 18));
    const auto height = static_cast<std::int32_t>(readLe32(header + 22));
    if (width <= 0 || height <= 0)
        return false;
    if (const std::string refusal = imageSizeRefusal(width, height); !refusal.empty()) {
        if (tooLarge)
            *tooLarge = refusal;
        return false;
    }
    // The header's image-size field is not trusted either: the rows the size implies must
    // be in the file.
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t needed = rowBytes * static_cast<std::size_t>(height);
    if (needed > bytes.size() - bmpHeaderSize)
        return false;

    image.width = width;
    image.height = height;
    image.pixels.assign(bytes.begin() + bmpHeaderSize, bytes.begin() + bmpHeaderSize + needed);
    return true;
}

DdsResult parseDds(const std::vector<std::uint8_t>& bytes, DdsImage& image, std::string* tooLarge)
{
    image.levels.clear();
    if (bytes.size() < ddsMagicSize + ddsHeaderSize || std::memcmp(bytes.data(), "DDS ", 4) != 0)
        return DdsResult::NotDds;
    const std::uint8_t* header = bytes.data() + ddsMagicSize;
    std::uint32_t height = readLe32(header + 8);
    std::uint32_t width = readLe32(header + 12);
    std::uint32_t mipMapCount = readLe32(header + 24);
    const std::uint8_t* fourCC = header + 80;

    if (std::memcmp(fourCC, "DXT1", 4) == 0)
        image.format = DdsFormat::Dxt1;
    else if (std::memcmp(fourCC, "DXT3", 4) == 0)
        image.format = DdsFormat::Dxt3;
    else if (std::memcmp(fourCC, "DXT5", 4) == 0)
        image.format = DdsFormat::Dxt5;
    else
        return DdsResult::Unsupported;
    if (width == 0 || height == 0)
        return DdsResult::Unsupported;
    if (const std::string refusal = imageSizeRefusal(width, height); !refusal.empty()) {
        if (tooLarge)
            *tooLarge = refusal;
        return DdsResult::TooLarge;
    }
    // Writers that leave the mip count unset mean one level.
    if (mipMapCount == 0)
        mipMapCount = 1;

    const std::size_t blockSize = image.format == DdsFormat::Dxt1 ? 8 : 16;
    const std::size_t start = ddsMagicSize + ddsHeaderSize;
    std::size_t offset = start;
    // No more levels than halvings of the larger side: a wild count cannot spin here.
    for (std::uint32_t level = 0; level < mipMapCount && (width || height); ++level) {
        const std::size_t size = static_cast<std::size_t>((width + 3) / 4) * ((height + 3) / 4) * blockSize;
        if (size > bytes.size() - offset)
            break;
        image.levels.push_back({ width, height, offset, size });
        offset += size;
        width /= 2;
        height /= 2;
        // A non-square texture keeps a side of 1 until both sides are down to 1.
        if (width == 0 && height != 0)
            width = 1;
        if (height == 0 && width != 0)
            height = 1;
    }
    return image.levels.empty() ? DdsResult::NoImage : DdsResult::Ok;
}

} // namespace Tarvo
