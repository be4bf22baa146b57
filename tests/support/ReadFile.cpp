// Whole-file reads for tests.
#include "ReadFile.h"

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

} // namespace testsupport
