// Whole-file and picture reads for tests.
#include "ReadFile.h"

#include <stb_image.h>

#include <cstdio>

namespace testsupport {

// stdio rather than a file stream: reading a folder through a stream throws, where a
// test only wants to see that nothing is there.
std::string readFile(const std::filesystem::path& path)
{
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

std::vector<unsigned char> readBytes(const std::filesystem::path& path)
{
    const std::string bytes = readFile(path);
    return {bytes.begin(), bytes.end()};
}

PngPicture readPng(const std::filesystem::path& path, int channels)
{
    PngPicture picture;
    int stored = 0;
    unsigned char* data = stbi_load(path.string().c_str(), &picture.width, &picture.height, &stored, channels);
    if (!data)
        return {};
    picture.channels = channels ? channels : stored;
    picture.pixels.assign(data, data + static_cast<std::size_t>(picture.width) * picture.height * picture.channels);
    stbi_image_free(data);
    return picture;
}

} // namespace testsupport
