// ScanfCursor against glibc's own fscanf on the same bytes: same success, same value
// (bit for bit) and the same characters consumed, for the forms mesh files hold and for
// the odd ones (partial exponents, hexadecimal, "inf"/"nan" prefixes, overflow).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "mesh/ScanfCursor.h"

namespace {

struct Scanned {
    bool ok = false;
    std::uint64_t bits = 0;
    long consumed = 0;
};

Scanned fscanfOne(const std::string& text, const char* format)
{
    Scanned result;
    if (text.empty())
        return result;
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (std::strcmp(format, "%f") == 0) {
        float value = 0;
        result.ok = std::fscanf(file, "%f", &value) == 1;
        std::memcpy(&result.bits, &value, 4);
    } else {
        long long value = 0;
        result.ok = std::fscanf(file, "%lld", &value) == 1;
        std::memcpy(&result.bits, &value, 8);
    }
    result.consumed = std::ftell(file);
    std::fclose(file);
    return result;
}

Scanned cursorOne(const std::string& text, bool isFloat)
{
    Tarvo::ScanfCursor cursor(text.data(), text.size());
    Scanned result;
    if (isFloat) {
        float value = 0;
        result.ok = cursor.scanFloat(value);
        std::memcpy(&result.bits, &value, 4);
    } else {
        std::int64_t value = 0;
        result.ok = cursor.scanLong(value);
        std::memcpy(&result.bits, &value, 8);
    }
    result.consumed = static_cast<long>(text.size() - cursor.remaining());
    return result;
}

void expectSameAsFscanf(const std::string& text, bool isFloat)
{
    const Scanned expected = fscanfOne(text, isFloat ? "%f" : "%lld");
    const Scanned actual = cursorOne(text, isFloat);
    EXPECT_EQ(actual.ok, expected.ok) << "input [" << text << "]";
    EXPECT_EQ(actual.consumed, expected.consumed) << "input [" << text << "]";
    if (expected.ok && actual.ok) {
        EXPECT_EQ(actual.bits, expected.bits) << "input [" << text << "]";
    }
}

const char* const kFloatInputs[] = {
    "1", "-2.5", "+3.25", "0.1", "1e10", "1E-3", "  \n\t 4", ".5", "5.", "-.5e-3x", "1e",
    "1e+", "1ex", "1e+x", "1e+-5", "1e2.5", "1.5.5", "-", "-x", "+.", ".", ".e1", "e5", "x",
    "inf", "INF", "infx", "infin", "infinx", "infinity", "infinitx", "-inf", "+inf", "nan",
    "NaN", "nanx", "na", "nax", "nan(abc)", "-nan", "-n", "i", "ix", "0x", "0xg", "0x1p",
    "0x1p3", "0x.p1", "0x1.8", "0x1.8p1", "0X1P-2", "0x1P+", "0x1p-", "0xp1", "0x0x",
    "00x1", "0x.", "0.", "0.e", "00012", "-0", "1e5000", "-1e5000", "1e-50", "1e-40",
    "3.4028235e38", "3.4028236e38", "1.17549435e-38", "1,5", "1/2/3",
    "123456789012345678901234567890",
    "0.000000000000000000000000000000000000000000001401298464324817", "9e-46", "7e-46",
    "2.5000000000000000000000000000001", "16777217", "1.000000059604644775390625",
    // Eight digits past 2^24: the mantissa is no longer an exact float.
    "1677721.7", "-1677721.9", "1677722.1", "16777216", "1.6777216", "12345678", "0.12345678",
};

const char* const kIntInputs[] = {
    "0", "12", "-7", "+5", "  \n 42", "-", "-x", "+", "- 5", "12a", "12/3", "/3", "007",
    "0x10", "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967297",
    "99999999999", "-99999999999", "9223372036854775807", "9223372036854775808",
    "-9223372036854775808", "-9223372036854775809", "99999999999999999999999",
    "-99999999999999999999999", "999999999999999999", "1000000000000000000", "-0",
};

// 1 to maxLength characters drawn from the alphabet.
std::string randomText(std::mt19937& random, const std::string& alphabet, int maxLength)
{
    std::string text;
    const int length = 1 + static_cast<int>(random() % static_cast<unsigned>(maxLength));
    for (int c = 0; c < length; ++c)
        text.push_back(alphabet[random() % alphabet.size()]);
    return text;
}

} // namespace

TEST(ScanfCursorTest, FloatsMatchFscanf)
{
    for (const char* input : kFloatInputs)
        expectSameAsFscanf(input, true);
}

TEST(ScanfCursorTest, IntegersMatchFscanf)
{
    for (const char* input : kIntInputs)
        expectSameAsFscanf(input, false);
}

TEST(ScanfCursorTest, RandomNumberLikeTextMatchesFscanf)
{
    // Strings over the characters that can start, continue or break a number.
    const std::string alphabet = "0123456789+-.eEpPxXinfatyINFATY( )\n/";
    std::mt19937 random(1234);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = randomText(random, alphabet, 10);
        expectSameAsFscanf(text, true);
        expectSameAsFscanf(text, false);
        if (HasFailure()) {
            ADD_FAILURE() << "stopped after the first differing input";
            return;
        }
    }
}

TEST(ScanfCursorTest, NumbersWithMoreTextAfterThemMatchFscanf)
{
    // Numbers in the middle of a file take the paths that read eight bytes at a time;
    // the tails give them text to read into, of every kind that can end a number.
    const std::string tails[] = {" 1 2 3 4 5 6 7 8 9 10 11\n", "/22/333 4444/55555/666666\n",
                                 "9999999999999999999999999", "e+5 xxxxxxxxxxxxxxxxxxxx",
                                 ".5.5.5.5.5.5.5.5.5.5.5.5", std::string(30, '\0')};
    const char* const more[] = {"1234567", "12345678", "123456789", "-1234567", "+7654321", "0000000",
                                "00000001", "1234567.", ".1234567", "1234.5678", "1234.56789", "-3.500000",
                                "16777216", "16777217", "1.6777217", "9.999999", "99999999.", "0.0000001"};
    for (const std::string& tail : tails) {
        for (const char* input : kFloatInputs) {
            expectSameAsFscanf(std::string(input) + tail, true);
            expectSameAsFscanf(std::string(input) + tail, false);
        }
        for (const char* input : kIntInputs)
            expectSameAsFscanf(std::string(input) + tail, false);
        for (const char* input : more) {
            expectSameAsFscanf(std::string(input) + tail, true);
            expectSameAsFscanf(std::string(input) + tail, false);
        }
    }
    std::mt19937 random(4321);
    const std::string alphabet = "0123456789012345678901234567890123456789+-.eEx /\n";
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        const std::string text = randomText(random, alphabet, 40);
        expectSameAsFscanf(text, true);
        expectSameAsFscanf(text, false);
    }
}

// A face corner read by the fast path, from a buffer of exactly the text's size, so that a
// sanitizer build catches any look past its end.
static bool scanTripleFromExactBuffer(const std::string& text, std::uint32_t (&values)[3], std::size_t& consumed)
{
    const std::vector<char> bytes(text.begin(), text.end());
    Tarvo::ScanfCursor cursor(bytes.data(), bytes.size());
    const bool scanned = cursor.scanPlainTriple(values);
    consumed = static_cast<std::size_t>(cursor.position() - bytes.data());
    return scanned;
}

TEST(ScanfCursorTest, CornersAtTheEdgesOfTheFastPathsReach)
{
    std::uint32_t values[3] = {};
    std::size_t consumed = 0;
    // Eight digits each: the longest corner the fast path takes.
    EXPECT_TRUE(scanTripleFromExactBuffer("12345678/87654321/10000001" + std::string(14, ' '), values, consumed));
    EXPECT_EQ(values[0], 12345678u);
    EXPECT_EQ(values[1], 87654321u);
    EXPECT_EQ(values[2], 10000001u);
    EXPECT_EQ(consumed, 26u);
    // A run filling all 32 bytes with a slash right after it, the text ending eight bytes
    // later: refused without reading past the end (found by fuzzing the OBJ reader).
    EXPECT_FALSE(scanTripleFromExactBuffer(std::string(32, '2') + "/2/1    ", values, consumed));
    EXPECT_EQ(consumed, 0u);
    EXPECT_FALSE(scanTripleFromExactBuffer("1/" + std::string(30, '5') + "/3/3 xxx", values, consumed));
    EXPECT_EQ(consumed, 0u);
}

TEST(ScanfCursorTest, WordsStopAtWhiteSpaceOrTheWidth)
{
    const std::string text(" \t v\0x  abcdef\n", 15);
    Tarvo::ScanfCursor cursor(text.data(), text.size());
    const char* word = nullptr;
    std::size_t length = 0;
    ASSERT_TRUE(cursor.readWord(127, word, length));
    EXPECT_EQ(std::string(word, length), std::string("v\0x", 3))
        << "a zero byte is not white space";
    // Cut at the width: the rest of the word is the next word.
    ASSERT_TRUE(cursor.readWord(4, word, length));
    EXPECT_EQ(std::string(word, length), "abcd");
    ASSERT_TRUE(cursor.readWord(127, word, length));
    EXPECT_EQ(std::string(word, length), "ef");
    EXPECT_FALSE(cursor.readWord(127, word, length));
}

TEST(ScanfCursorTest, SkipLineStopsAfterTheNewlineOrAt999Characters)
{
    const std::string shortLine = "rest of line\nnext";
    Tarvo::ScanfCursor a(shortLine.data(), shortLine.size());
    a.skipLine();
    EXPECT_EQ(std::string(a.position(), a.remaining()), "next");

    const std::string longLine = std::string(1500, 'x') + "\nnext";
    Tarvo::ScanfCursor b(longLine.data(), longLine.size());
    b.skipLine();
    EXPECT_EQ(b.remaining(), longLine.size() - 999);

    const std::string noNewline = "tail";
    Tarvo::ScanfCursor c(noNewline.data(), noNewline.size());
    c.skipLine();
    EXPECT_TRUE(c.atEnd());
}
