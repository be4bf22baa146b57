// The BMP and DDS file layouts, read from bytes in memory without GL, so that a damaged
// file is judged (and fuzzed) apart from any upload. Every size a header claims is checked
// against the bytes that are really there before anything is sized from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo {

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

// False for anything but an uncompressed 24-bit BMP whose pixels are all in the file.
bool parseBmp(const std::vector<std::uint8_t>& bytes, BmpImage& image);

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

enum class DdsResult { Ok, NotDds, Unsupported, NoImage };

DdsResult parseDds(const std::vector<std::uint8_t>& bytes, DdsImage& image);

} // namespace Tarvo
