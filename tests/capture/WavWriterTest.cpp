// WAV files of a span: the header, sample-exact content from a source, silence past the
// music's end, and failures that leave no file behind.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/WavWriter.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "support/Temporaries.h"

namespace {

namespace fs = std::filesystem;

// Sample frame i holds i (mod 30000) on the left and its negation on the right, so any
// offset or dropped frame shows.
class RampSource : public capture::PcmSource {
public:
    RampSource(std::uint64_t frames, int channels = 2, int rate = 44100, long chunk = 1000)
        : frames(frames), chans(channels), sampleRate(rate), chunk(chunk)
    {
    }
    int rate() const override { return sampleRate; }
    int channels() const override { return chans; }
    bool seek(std::uint64_t frame) override
    {
        ++seeks;
        if (frame >= frames)
            return false;
        position = frame;
        return true;
    }
    long read(std::int16_t* out, long count) override
    {
        if (failAt && position >= failAt)
            return -1;
        const long n = static_cast<long>(std::min<std::uint64_t>({static_cast<std::uint64_t>(count),
                                                                  static_cast<std::uint64_t>(chunk), frames - position}));
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < chans; ++c)
                out[i * chans + c] = sample(position + static_cast<std::uint64_t>(i), c);
        position += static_cast<std::uint64_t>(n);
        return n;
    }
    static std::int16_t sample(std::uint64_t frame, int channel)
    {
        const auto v = static_cast<std::int16_t>(frame % 30000);
        return channel == 0 ? v : static_cast<std::int16_t>(-v);
    }

    std::uint64_t frames;
    int chans;
    int sampleRate;
    long chunk;
    std::uint64_t position = 0;
    std::uint64_t failAt = 0;
    int seeks = 0;
};

std::uint32_t le32(const std::vector<std::uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::int16_t sampleAt(const std::vector<std::uint8_t>& b, size_t index)
{
    const size_t at = 44 + 2 * index;
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

class WavWriterTest : public ::testing::Test {
protected:
    testsupport::ScratchDir scratch;
    const std::string path = scratch.file("a.wav");
};

TEST_F(WavWriterTest, HeaderDescribesSixteenBitPcm)
{
    const std::vector<std::uint8_t> h = capture::wavHeader(44100, 2, 1000);
    ASSERT_EQ(h.size(), 44u);
    EXPECT_EQ(std::string(h.begin(), h.begin() + 4), "RIFF");
    EXPECT_EQ(le32(h, 4), 36u + 4000u);
    EXPECT_EQ(std::string(h.begin() + 8, h.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(h, 16), 16u);
    EXPECT_EQ(h[20] | (h[21] << 8), 1);      // PCM
    EXPECT_EQ(h[22] | (h[23] << 8), 2);      // channels
    EXPECT_EQ(le32(h, 24), 44100u);          // rate
    EXPECT_EQ(le32(h, 28), 44100u * 4u);     // bytes a second
    EXPECT_EQ(h[32] | (h[33] << 8), 4);      // block align
    EXPECT_EQ(h[34] | (h[35] << 8), 16);     // bits
    EXPECT_EQ(std::string(h.begin() + 36, h.begin() + 40), "data");
    EXPECT_EQ(le32(h, 40), 4000u);
}

TEST_F(WavWriterTest, WritesExactlyTheSpansSamples)
{
    RampSource source(100000);
    const capture::SampleSpan span = capture::sampleSpan(3.0, 17.0, 44100);
    std::string why;
    ASSERT_TRUE(capture::writeWav(path, source, span, why)) << why;
    const std::vector<std::uint8_t> bytes = testsupport::readBytes(path);
    ASSERT_EQ(bytes.size(), 44u + span.count * 4u);
    EXPECT_EQ(le32(bytes, 40), span.count * 4u);
    for (std::uint64_t i = 0; i < span.count; i += 997) {
        EXPECT_EQ(sampleAt(bytes, 2 * i), RampSource::sample(span.first + i, 0)) << i;
        EXPECT_EQ(sampleAt(bytes, 2 * i + 1), RampSource::sample(span.first + i, 1)) << i;
    }
    const size_t last = span.count - 1;
    EXPECT_EQ(sampleAt(bytes, 2 * last), RampSource::sample(span.first + last, 0));
    EXPECT_TRUE(testsupport::temporariesBeside(path).empty());
}

TEST_F(WavWriterTest, PastTheMusicsEndIsSilence)
{
    RampSource source(5000);
    std::string why;
    ASSERT_TRUE(capture::writeWav(path, source, {4000, 3000}, why)) << why;
    const std::vector<std::uint8_t> bytes = testsupport::readBytes(path);
    ASSERT_EQ(bytes.size(), 44u + 3000u * 4u);
    EXPECT_EQ(sampleAt(bytes, 2 * 999), RampSource::sample(4999, 0));
    for (size_t i = 1000; i < 3000; ++i)
        ASSERT_EQ(sampleAt(bytes, 2 * i), 0) << i;

    // A span that starts after the end is all silence, still of its full length.
    ASSERT_TRUE(capture::writeWav(path, source, {9000, 100}, why)) << why;
    const std::vector<std::uint8_t> silent = testsupport::readBytes(path);
    ASSERT_EQ(silent.size(), 44u + 400u);
    for (size_t i = 0; i < 200; ++i)
        ASSERT_EQ(sampleAt(silent, i), 0);
}

TEST_F(WavWriterTest, MonoMusicStaysMono)
{
    RampSource source(1000, 1, 22050);
    std::string why;
    ASSERT_TRUE(capture::writeWav(path, source, {10, 20}, why)) << why;
    const std::vector<std::uint8_t> bytes = testsupport::readBytes(path);
    ASSERT_EQ(bytes.size(), 44u + 40u);
    EXPECT_EQ(bytes[22], 1);
    EXPECT_EQ(le32(bytes, 24), 22050u);
    EXPECT_EQ(sampleAt(bytes, 0), 10);
}

TEST_F(WavWriterTest, EmptySpanIsAValidEmptyFile)
{
    RampSource source(1000);
    std::string why;
    ASSERT_TRUE(capture::writeWav(path, source, {0, 0}, why)) << why;
    EXPECT_EQ(testsupport::readBytes(path).size(), 44u);
}

TEST_F(WavWriterTest, FailuresLeaveNoFile)
{
    std::string why;
    RampSource broken(100000);
    broken.failAt = 5000;
    EXPECT_FALSE(capture::writeWav(path, broken, {0, 20000}, why));
    EXPECT_NE(why.find("decoded"), std::string::npos) << why;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(testsupport::temporariesBeside(path).empty());

    RampSource noFormat(1000, 2, 0);
    EXPECT_FALSE(capture::writeWav(path, noFormat, {0, 10}, why));
    EXPECT_FALSE(fs::exists(path));

    RampSource fine(1000);
    EXPECT_FALSE(capture::writeWav(scratch.file("missing/a.wav"), fine, {0, 10}, why));
    EXPECT_NE(why.find("missing"), std::string::npos) << why;

    // More than a 32-bit RIFF size can describe.
    EXPECT_FALSE(capture::writeWav(path, fine, {0, 2000000000ull}, why));
    EXPECT_NE(why.find("too long"), std::string::npos) << why;
    EXPECT_FALSE(fs::exists(path));
}

} // namespace
