// Reading numbers and words from text in memory with the same results, and the same
// characters consumed, as glibc's fscanf conversions on a text stream. Mesh files were
// always read with fscanf; reading from a buffer keeps that behaviour without paying
// for a library call per number.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "mesh/DigitRuns.h"

namespace Tarvo {

class ScanfCursor {
public:
    ScanfCursor(const char* text, std::size_t size) : p(text), end(text + size) {}

    bool atEnd() const { return p == end; }
    std::size_t remaining() const { return static_cast<std::size_t>(end - p); }
    const char* position() const { return p; }

    // Moves past count characters the caller has looked at (at most remaining()).
    void skip(std::size_t count) { p += count; }

    // A whitespace directive (" " or "\n" in a format): skips any amount of white space.
    void skipSpace()
    {
        // A local pointer lets the compiler keep it in a register instead of storing the
        // member after every character.
        const char* q = p;
        // Most often one blank, then the next word or number.
        if (q != end && *q == ' ')
            ++q;
        while (q != end && isSpace(*q))
            ++q;
        p = q;
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
        std::uint32_t plain = 0;
        if (scanPlainIndex(plain)) {
            value = plain;
            return true;
        }
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

    // The face index as files hold it: white space, then one to eight digits without a
    // sign. Anything else (a sign, more digits, the text's end within reach) returns false
    // having consumed white space only, where scanLong carries on; a success reads exactly
    // what scanLong would.
    bool scanPlainIndex(std::uint32_t& value)
    {
        using namespace digitruns;
        skipSpace();
        if (end - p < 16 + kMaxDigits)
            return false;
        const int count = nextOther(nonDigitBits<16>(p), -1);
        if (count == 0 || count > kMaxDigits)
            return false;
        value = valueOf(p, count);
        p += count;
        return true;
    }

    // "%lld/%lld/%lld" when all three are plain indices as above with a slash right after
    // the first two, all within 32 bytes: a face's corner as files hold it. Otherwise
    // false, having consumed white space only.
    bool scanPlainTriple(std::uint32_t (&values)[3])
    {
        using namespace digitruns;
        skipSpace();
        if (end - p < kReach)
            return false;
        // Each next other byte: clear the lowest bit left, count the zeros below the next.
        std::uint64_t others = nonDigitBits(p);
        const int slash1 = std::countr_zero(others);
        others &= others - 1;
        const int slash2 = std::countr_zero(others);
        others &= others - 1;
        const int after = std::countr_zero(others);
        // The lengths first: with no other byte in reach a position is 32 or 64, and only
        // lengths within bounds make the separators safe to look at.
        if (slash1 == 0 || slash1 > kMaxDigits || slash2 == slash1 + 1 || slash2 - slash1 - 1 > kMaxDigits
            || after == slash2 + 1 || after - slash2 - 1 > kMaxDigits || p[slash1] != '/' || p[slash2] != '/')
            return false;
        values[0] = valueOf(p, slash1);
        values[1] = valueOf(p + slash1 + 1, slash2 - slash1 - 1);
        values[2] = valueOf(p + slash2 + 1, after - slash2 - 1);
        p += after;
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
    // A corner's fast path looks at 32 bytes and converts eight from any of them.
    static constexpr std::ptrdiff_t kReach = digitruns::kMaskBytes + digitruns::kMaxDigits;
    static constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f};

    // The exporter's plain decimals, converted without the general machinery; false
    // (nothing consumed) for anything else.
    bool scanShortDecimal(float& value)
    {
        // [sign] digits [. digits] with at most eight digits in all and a mantissa up to
        // 2^24, such as the exporter's "-1.234567": the mantissa and the power of ten are
        // both exact floats, so one division rounds correctly, exactly as strtof would.
        using namespace digitruns;
        // Eight digits, a sign and a point fit in sixteen bytes.
        constexpr int kBytes = 16;
        if (end - p < kBytes + kMaxDigits)
            return scanShortDecimalNearEnd(value);
        const bool negative = (*p == '-');
        const int sign = (*p == '-' || *p == '+') ? 1 : 0;
        const std::uint64_t others = nonDigitBits<kBytes>(p);
        const int point = nextOther(others, sign - 1);
        const bool hasPoint = point < kBytes && p[point] == '.';
        // A run that reaches past the sixteen bytes has more than eight digits.
        const int stop = hasPoint ? nextOther(others, point) : point;
        const int integerDigits = point - sign;
        const int fractionDigits = hasPoint ? stop - point - 1 : 0;
        const int digits = integerDigits + fractionDigits;
        if (digits == 0 || digits > kMaxDigits)
            return false;
        const std::uint32_t mantissa =
            valueOf(p + sign, integerDigits) * static_cast<std::uint32_t>(kPowersOfTen[fractionDigits])
            + valueOf(p + point + 1, fractionDigits);
        return finishShortDecimal(p + stop, negative, mantissa, fractionDigits, value);
    }

    // The same a digit at a time, for text that ends within a few bytes and for runs of
    // eight digits or more.
    bool scanShortDecimalNearEnd(float& value)
    {
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
        if (digits == 0 || digits > digitruns::kMaxDigits)
            return false;
        return finishShortDecimal(q, negative, mantissa, static_cast<int>(fraction), value);
    }

    // Anything the full scanner could still take (an exponent, a hexadecimal "x") goes the
    // long way, as do mantissas that are not exact floats.
    bool finishShortDecimal(const char* q, bool negative, std::uint64_t mantissa, int fractionDigits,
                            float& value)
    {
        if (mantissa > (1u << 24))
            return false;
        // Setting the 0x20 bit lowers a letter's case and leaves no other byte on 'e' or 'x'.
        if (q != end && ((*q | 0x20) == 'e' || (*q | 0x20) == 'x'))
            return false;
        const float magnitude = static_cast<float>(mantissa) / kPowersOfTen[fractionDigits];
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
