// The encoder wrapper the audio tests and the stand-in music are made with: a file that
// starts with the info tag, and clear failures for what it cannot write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/AudioTestSupport.h"
#include "mp3/Mp3Writer.h"
#include "mp3/TestTune.h"
#include "support/ReadFile.h"

namespace audiotest {
namespace {

TEST(AudioMp3WriterTest, FileStartsWithTheGaplessInfoTag)
{
    const std::vector<unsigned char> bytes = testsupport::readBytes(tune(1.0).path);
    ASSERT_GT(bytes.size(), 1000u);
    // An MPEG frame header at byte 0, no ID3 tag in front of it.
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1] & 0xE0, 0xE0);
    const std::string first(bytes.begin(), bytes.begin() + 400);
    EXPECT_TRUE(first.find("Info") != std::string::npos || first.find("Xing") != std::string::npos);
    // The LAME extension carries the encoder delay and padding.
    EXPECT_NE(first.find("LAME"), std::string::npos);
}

TEST(AudioMp3WriterTest, RefusesWhatItCannotWrite)
{
    const std::vector<std::int16_t> pcm = mp3::makeTestTune(0.1);
    std::string error;
    EXPECT_FALSE(mp3::writeMp3("/nonexistent-dir/x.mp3", pcm, 44100, 2, 128, &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
    EXPECT_FALSE(mp3::writeMp3(scratch().write("three.mp3", ""), pcm, 44100, 3, 128, &error));
    EXPECT_NE(error.find("channel"), std::string::npos);
    mp3::Mp3Writer writer;
    EXPECT_FALSE(writer.write(pcm.data(), 10));
    EXPECT_FALSE(writer.finish());
}

TEST(AudioMp3WriterTest, TuneIsDeterministicAndSized)
{
    const auto a = mp3::makeTestTune(0.5, 44100, 2);
    const auto b = mp3::makeTestTune(0.5, 44100, 2);
    EXPECT_EQ(a.size(), 22050u * 2);
    EXPECT_EQ(a, b);
    EXPECT_EQ(mp3::makeTestTune(0.5, 22050, 1).size(), 11025u);
    EXPECT_TRUE(mp3::makeTestTune(0.0).empty());
    EXPECT_TRUE(mp3::makeTestTune(-1.0).empty());
    // Not silence: the tests' alignment checks need something to match.
    EXPECT_GT(*std::max_element(a.begin(), a.end()), 8000);
}

} // namespace
} // namespace audiotest
