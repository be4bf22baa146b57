// The ".nwa" number reader against the stream extraction it stands in for: on tricky and
// on random text both read the same numbers, bit for bit, and stop at the same place.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/NwaFile.h"

namespace {

struct Reading {
    std::vector<std::uint32_t> bits; // each number read, as its bits
    bool operator==(const Reading&) const = default;
};

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

Reading byStream(const std::string& text)
{
    Reading reading;
    std::istringstream in(text);
    for (float value; in >> value;)
        reading.bits.push_back(bitsOf(value));
    return reading;
}

Reading byReader(const std::string& text)
{
    Reading reading;
    const char* p = text.data();
    for (float value; Tarvo::extractStreamFloat(p, text.data() + text.size(), value);)
        reading.bits.push_back(bitsOf(value));
    return reading;
}

TEST(NwaNumberTest, ReadsWhatStreamExtractionReadsOnTrickyText)
{
    const char* const cases[] = { "1 2.5 -3e2 +4.", ".5 -.25e-1 00012 1e", "1e+ 2", "3e-2x 4",
        "1e39 5", "1e-46 -1e-40 6", "--1", "+ 1", ".", "-.e1", "7.8.9", "1.5E3e2", "inf 1", "nan",
        "0x1p3", "\t\n\r\v\f 9 ", "123456789012345678901234567890e-20", "", "   ", "1,5", "2e0005" };
    for (const char* text : cases)
        EXPECT_EQ(byReader(text), byStream(text)) << '"' << text << '"';
}

TEST(NwaNumberTest, ReadsWhatStreamExtractionReadsOnRandomText)
{
    std::mt19937 random(20261208);
    const std::string alphabet = "0123456789..--++eeEE   \n\tx";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(byReader(text), byStream(text)) << '"' << text << '"';
    }
}

} // namespace
