// Floats as text: the shortest form that reads back as the same float ("0.25", "-1.3"),
// for the files the tools write (timelines, OBJ meshes).
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace Tarvo {

// Writes value into [first, last) (32 characters always suffice) and returns the end.
inline char* writeShortest(char* first, char* last, float value)
{
#ifdef __EMSCRIPTEN__
    // The browser build's C++ library has no floating-point to_chars; the fewest printf
    // digits that read back unchanged stand in.
    int written = 0;
    for (int digits = 1; digits <= 9; ++digits) {
        written = std::snprintf(first, static_cast<std::size_t>(last - first), "%.*g", digits,
            static_cast<double>(value));
        if (std::strtof(first, nullptr) == value)
            break;
    }
    return first + written;
#else
    return std::to_chars(first, last, value).ptr;
#endif
}

} // namespace Tarvo
