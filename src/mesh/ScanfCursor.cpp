// The fscanf conversions the mesh readers use, reproduced over a buffer. The float rules
// follow glibc's scanner: it consumes the longest run that can still grow into a number
// and converts the longest valid prefix of that run, so "1e+" consumes three characters
// and gives 1, while "0x" alone consumes two and fails.
#include "mesh/ScanfCursor.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace Tarvo {

namespace {

inline bool isDigit(char c) { return ScanfCursor::isDigit(c); }
inline bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline char toLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The C library's own conversion for the forms the fast path does not take (hexadecimal,
// infinities, NaNs, values outside the float range). Returns false when it converts none.
bool convertWithStrtof(const char* begin, const char* end, float& value)
{
    std::string text(begin, end);
    char* stop = nullptr;
    const float result = std::strtof(text.c_str(), &stop);
    if (stop == text.c_str())
        return false;
    value = result;
    return true;
}

// Matches the rest of a keyword such as "nan" or "infinity" case-insensitively. As in
// glibc, a character that does not match is consumed before the conversion fails.
bool matchWord(const char*& p, const char* end, const char* rest)
{
    for (; *rest; ++rest) {
        if (p == end)
            return false;
        const char c = *p++;
        if (toLower(c) != *rest)
            return false;
    }
    return true;
}

} // namespace

bool ScanfCursor::readWord(std::size_t maxLength, const char*& word, std::size_t& length)
{
    skipSpace();
    if (p == end)
        return false;
    word = p;
    const char* limit = (remaining() > maxLength) ? p + maxLength : end;
    while (p != limit && !isSpace(*p))
        ++p;
    length = static_cast<std::size_t>(p - word);
    return true;
}

bool ScanfCursor::scanFloatGeneral(float& value)
{
    if (p == end)
        return false;
    const char* start = p;
    bool negative = false;
    bool sign = false;
    if (*p == '-' || *p == '+') {
        negative = (*p == '-');
        sign = true;
        ++p;
        if (p == end)
            return false;
    }

    const char first = toLower(*p);
    if (first == 'n') {
        ++p;
        if (!matchWord(p, end, "an"))
            return false;
        return convertWithStrtof(start, p, value);
    }
    if (first == 'i') {
        ++p;
        if (!matchWord(p, end, "nf"))
            return false;
        if (p != end && toLower(*p) == 'i') {
            ++p;
            if (!matchWord(p, end, "nity"))
                return false;
        }
        return convertWithStrtof(start, p, value);
    }

    bool hex = false;
    bool gotDigit = false;
    bool gotDot = false;
    bool gotExponent = false;
    char exponentChar = 'e';
    const char* exponentAt = nullptr;
    if (*p == '0') {
        ++p;
        if (p != end && toLower(*p) == 'x') {
            ++p;
            hex = true;
            exponentChar = 'p';
        } else {
            gotDigit = true;
        }
    }
    for (; p != end; ++p) {
        const char c = *p;
        if (isDigit(c)) {
            gotDigit = true;
        } else if (!gotExponent && hex && isHexDigit(c)) {
            gotDigit = true;
        } else if (gotExponent && toLower(p[-1]) == exponentChar && (c == '-' || c == '+')) {
            // sign of the exponent
        } else if (gotDigit && !gotExponent && toLower(c) == exponentChar) {
            gotExponent = true;
            gotDot = true;
            exponentAt = p;
        } else if (!gotDot && c == '.') {
            gotDot = true;
        } else {
            break;
        }
    }
    const std::size_t taken = static_cast<std::size_t>(p - start);
    if (taken == static_cast<std::size_t>(sign) || (hex && taken == 2u + sign))
        return false;
    if (hex)
        return convertWithStrtof(start, p, value);
    if (!gotDigit)
        return false;

    // Decimal: an exponent without digits is not part of the number, though consumed.
    const char* numberEnd = p;
    if (exponentAt) {
        const char* q = exponentAt + 1;
        if (q != p && (*q == '+' || *q == '-'))
            ++q;
        if (q == p)
            numberEnd = exponentAt;
    }
#ifndef __EMSCRIPTEN__
    const char* numberBegin = (sign && !negative) ? start + 1 : start;
    float result = 0.0f;
    const auto [stop, error] = std::from_chars(numberBegin, numberEnd, result);
    if (error == std::errc() && stop == numberEnd) {
        value = result;
        return true;
    }
#endif
    // The browser build's C++ library has no floating-point from_chars; strtof rounds the
    // same way.
    return convertWithStrtof(start, numberEnd, value);
}

bool ScanfCursor::scanLongGeneral(std::int64_t& value)
{
    if (p == end)
        return false;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = (*p == '-');
        ++p;
        if (p == end)
            return false;
    }
    if (!isDigit(*p))
        return false;
    // glibc converts with strtoll, which saturates at the 64-bit range.
    constexpr std::uint64_t kSaturated = std::uint64_t(1) << 63;
    std::uint64_t magnitude = 0;
    for (; p != end && isDigit(*p); ++p) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        if (magnitude <= (kSaturated - digit) / 10)
            magnitude = magnitude * 10 + digit;
        else
            magnitude = kSaturated;
    }
    if (negative)
        value = (magnitude >= kSaturated) ? std::numeric_limits<std::int64_t>::min()
                                          : -static_cast<std::int64_t>(magnitude);
    else
        value = (magnitude >= kSaturated) ? std::numeric_limits<std::int64_t>::max()
                                          : static_cast<std::int64_t>(magnitude);
    return true;
}

void ScanfCursor::skipLine(std::size_t maxCharacters)
{
    const std::size_t count = remaining() < maxCharacters ? remaining() : maxCharacters;
    const void* newline = std::memchr(p, '\n', count);
    p = newline ? static_cast<const char*>(newline) + 1 : p + count;
}

} // namespace Tarvo
