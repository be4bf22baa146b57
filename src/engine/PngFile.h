// PNG output for programs that make pictures without GL (captured frames, track plots):
// encoded in memory with stb_image_write, then written whole or not at all, so a reader
// never finds a truncated picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo {

// Encodes width x height pixels of channels bytes each (1 grey, 2 grey-alpha, 3 RGB,
// 4 RGBA), rows top first, and writes them to path through a part file beside it.
// False, with why set, when there is no picture, encoding fails or the file cannot be
// written; path is then as it was.
bool writePngFile(const std::string& path, int width, int height, int channels,
    const std::vector<std::uint8_t>& pixels, std::string& why);

} // namespace Tarvo
