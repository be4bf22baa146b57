// The BMP and DDS file layouts, read from bytes in memory without GL, so that a damaged
// file is judged (and fuzzed) apart from any upload. Every size a header claims is checked
// against the bytes that are really there before anything is sized from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo {

// The largest image any loader decodes, whatever the format. A header is only a claim: a
// 1 MB PNG may say 16000 x 16000 and cost gigabytes to decode. The pixel limit, 8192 x 8192
// (256 MiB as RGBA), is 32 times the show's largest image; the side limit is the largest
// texture GL drivers commonly take, so a long strip still loads.
constexpr std::uint64_t maxImagePixels = 8192ull * 8192ull;
constexpr std::uint32_t maxImageSide = 16384;

// Empty when an image of width x height may be decoded; otherwise the reason, naming the
// limit it is over (for the loader's message).
std::string imageSizeRefusal(std::int64_t width, std::int64_t height);

// The whole file, or false when it cannot be opened or read. Nothing larger than the
// file itself is allocated.
bool readFileBytes(const char* path, std::vector<std::uint8_t>& bytes);

// An uncompressed 24-bit BMP: rows bottom first, blue-green-red, each row padded to a
// multiple of 4 bytes.
struct BmpImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// False for anything but an uncompressed 24-bit BMP whose pixels are all in the file and
// within the image size limits; a size over the limits also sets tooLarge to the reason.
bool parseBmp(const std::vector<std::uint8_t>& bytes, BmpImage& image, std::string* tooLarge = nullptr);

enum class DdsFormat { Dxt1, Dxt3, Dxt5 };

struct DdsLevel {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t offset = 0; // into the file's bytes
    std::size_t size = 0;
};

struct DdsImage {
    DdsFormat format = DdsFormat::Dxt1;
    // The levels the file really holds, largest first; a file shorter than its header
    // claims keeps the ones that fit.
    std::vector<DdsLevel> levels;
};

enum class DdsResult { Ok, NotDds, Unsupported, NoImage, TooLarge };

// TooLarge sets tooLarge to the reason (imageSizeRefusal).
DdsResult parseDds(const std::vector<std::uint8_t>& bytes, DdsImage& image, std::string* tooLarge = nullptr);

} // namespace Tarvo
