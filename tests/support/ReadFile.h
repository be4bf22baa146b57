// A whole file as bytes, or a picture file as pixels, for tests that check what a program
// or a writer left on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// Empty when the file cannot be read.
std::string readFile(const std::filesystem::path& path);
std::vector<unsigned char> readBytes(const std::filesystem::path& path);

// A picture read back as 8-bit channels.
struct PngPicture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> pixels; // top row first; empty when the file could not be read

    float value(int x, int y, int channel) const
    {
        return pixels[(static_cast<std::size_t>(y) * width + x) * channels + channel];
    }
    float luma(int x, int y) const
    {
        return 0.2126f * value(x, y, 0) + 0.7152f * value(x, y, 1) + 0.0722f * value(x, y, 2);
    }
};

// channels 0 keeps the file's own channel count; 3 or 4 converts to RGB or RGBA.
PngPicture readPng(const std::filesystem::path& path, int channels = 0);

} // namespace testsupport
