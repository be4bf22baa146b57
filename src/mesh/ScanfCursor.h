// Reading numbers and words from text in memory with the same results, and the same
// characters consumed, as glibc's fscanf conversions on a text stream. Mesh files were
// always read with fscanf; reading from a buffer keeps that behaviour without paying
// for a library call per number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tarvo {

class ScanfCursor {
public:
    ScanfCursor(const char* text, std::size_t size) : p(text), end(text + size) {}

    bool atEnd() const { return p == end; }
    std::size_t remaining() const { return static_cast<std::size_t>(end - p); }
    const char* position() const { return p; }

    // A whitespace directive (" " or "\n" in a format): skips any amount of white space.
    void skipSpace()
    {
        while (p != end && isSpace(*p))
            ++p;
    }

    // "%Ns": skips white space, then takes at most maxLength non-white characters.
    // Returns false at the end of the text (no word).
    bool readWord(std::size_t maxLength, const char*& word, std::size_t& length);

    // "%f": skips white space and takes the longest prefix that glibc accepts as a
    // float (including "inf", "nan" and hexadecimal forms). Returns false when no
    // number could be converted; the characters glibc consumes are consumed either way.
    bool scanFloat(float& value);

    // "%d": decimal integer; values beyond a long saturate and are then truncated to
    // int, as glibc stores them.
    bool scanInt(std::int32_t& value);

    // An ordinary character in a format: consumed only when it matches.
    bool matchChar(char c)
    {
        if (p == end || *p != c)
            return false;
        ++p;
        return true;
    }

    // fgets with a buffer of 1000: up to 999 characters, or through the end of line.
    void skipLine(std::size_t maxCharacters = 999);

    static bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

private:
    const char* p;
    const char* end;
};

} // namespace Tarvo
