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
    bool scanFloat(float& value)
    {
        skipSpace();
        return scanShortDecimal(value) || scanFloatGeneral(value);
    }

    // "%lld": decimal integer; values beyond the 64-bit range saturate, as glibc stores
    // them. (A 32-bit "%d" would keep only the low bits, so an index too large for 32
    // bits could come out as a small valid one.)
    bool scanLong(std::int64_t& value)
    {
        skipSpace();
        // Up to eighteen digits cannot overflow: the common case, inline.
        const char* q = p;
        if (q != end && (*q == '-' || *q == '+'))
            ++q;
        const char* digits = q;
        std::uint64_t magnitude = 0;
        for (; q != end && isDigit(*q); ++q)
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(*q - '0');
        const auto count = q - digits;
        if (count == 0 || count > 18)
            return scanLongGeneral(value);
        const auto signedMagnitude = static_cast<std::int64_t>(magnitude);
        value = *p == '-' ? -signedMagnitude : signedMagnitude;
        p = q;
        return true;
    }

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
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

private:
    // The exporter's plain decimals, converted without the general machinery; false
    // (nothing consumed) for anything else.
    bool scanShortDecimal(float& value)
    {
        // [sign] digits [. digits] with at most eight digits in all and a mantissa up to
        // 2^24, such as the exporter's "-1.234567": the mantissa and the power of ten are
        // both exact floats, so one division rounds correctly, exactly as strtof would.
        static constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f,
                                                 1e5f, 1e6f, 1e7f, 1e8f};
        const char* q = p;
        if (q == end)
            return false;
        const bool negative = (*q == '-');
        if (*q == '-' || *q == '+')
            ++q;
        std::uint64_t mantissa = 0;
        const char* integer = q;
        for (; q != end && isDigit(*q); ++q)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
        auto digits = q - integer;
        long fraction = 0;
        if (q != end && *q == '.') {
            const char* first = ++q;
            for (; q != end && isDigit(*q); ++q)
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
            fraction = q - first;
            digits += fraction;
        }
        // Anything the full scanner could still take (an exponent, a hexadecimal "x")
        // goes the long way, as do mantissas that are not exact floats.
        if (digits == 0 || digits > 8 || mantissa > (1u << 24))
            return false;
        if (q != end && (*q == 'e' || *q == 'E' || *q == 'x' || *q == 'X'))
            return false;
        const float magnitude = static_cast<float>(mantissa) / kPowersOfTen[fraction];
        value = negative ? -magnitude : magnitude;
        p = q;
        return true;
    }
    // Everything else glibc's scanner accepts, after white space has been skipped.
    bool scanFloatGeneral(float& value);
    bool scanLongGeneral(std::int64_t& value);

    const char* p;
    const char* end;
};

} // namespace Tarvo
