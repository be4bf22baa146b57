// Runs of decimal digits found and converted many bytes at a time, for the fast paths of
// the number scanner. A mesh file is mostly short runs of digits between single
// separators; finding where each run ends one byte at a time puts a load and a compare
// per character on the path from one number to the next, these functions one per number.
// Each reads a fixed number of bytes from its argument, which its caller has checked are
// there.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tarvo::digitruns {

// Bytes that nonDigitBits examines at most, and the most digits valueOf converts.
inline constexpr int kMaskBytes = 32;
inline constexpr int kMaxDigits = 8;

// Bit i set when text[i] is not a decimal digit, for i below bytes (16 or 32); bit
// `bytes` is always set, so counting trailing zeros finds "no other byte in reach" as
// `bytes`.
template <int bytes = kMaskBytes>
inline std::uint64_t nonDigitBits(const char* text)
{
    static_assert(bytes == 16 || bytes == 32, "whole SSE registers");
    std::uint64_t bits = std::uint64_t(1) << bytes;
#if defined(__SSE2__)
    // Signed compares: bytes of 0x80 and above are negative, so below '0' as they should be.
    for (int half = 0; half < bytes / 16; ++half) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * half));
        const __m128i below = _mm_cmplt_epi8(chunk, _mm_set1_epi8('0'));
        const __m128i above = _mm_cmpgt_epi8(chunk, _mm_set1_epi8('9'));
        bits |= static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_or_si128(below, above))) << (16 * half);
    }
#else
    for (int i = 0; i < bytes; ++i)
        if (text[i] < '0' || text[i] > '9')
            bits |= std::uint64_t(1) << i;
#endif
    return bits;
}

// The value of the count digits at text (0 to kMaxDigits; eight bytes are read). The
// digits move to the top of a 64-bit word behind leading zeros and are paired up by
// multiplications (10 * 256 + 1 puts ten times each byte beside the next one, and so on
// for hundreds and ten-thousands), the first byte being the most significant digit;
// what overflows the word is in lanes that the masks drop.
inline std::uint32_t valueOf(const char* text, int count)
{
    static_assert(std::endian::native == std::endian::little, "the first byte is the lowest");
    if (count <= 0)
        return 0;
    std::uint64_t v;
    std::memcpy(&v, text, sizeof v);
    // Borrows move only towards the later bytes, and start at bytes that are not digits;
    // all of those are shifted out with the bytes after the run.
    v = (v - 0x3030303030303030u) << (8 * (kMaxDigits - count));
    v = ((v * (10 * 256 + 1)) >> 8) & 0x00FF00FF00FF00FFu;
    v = ((v * (100 * 65536 + 1)) >> 16) & 0x0000FFFF0000FFFFu;
    return static_cast<std::uint32_t>((v * (10000 * (std::uint64_t(1) << 32) + 1)) >> 32);
}

// Position of the next other byte after position `after` in bits from nonDigitBits (the
// bits up to and including `after` are ignored).
inline int nextOther(std::uint64_t bits, int after)
{
    return std::countr_zero(bits & (~std::uint64_t(0) << (after + 1)));
}

} // namespace Tarvo::digitruns
