// The whole generated track: length, loudness, peaks, determinism, and the MP3 the show
// plays, decoded again with libmpg123 as a player would.
#include <gtest/gtest.h>

#include <mpg123.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AssetGen.h"
#include "music/Arrangement.h"
#include "music/Loudness.h"
#include "music/Music.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "support/Temporaries.h"

using namespace assetgen::music;
namespace fs = std::filesystem;

namespace {

struct Decoded {
    long rate = 0;
    int channels = 0;
    int kbps = 0;
    std::vector<float> left, right;
    std::string error;
};

Decoded decodeMp3(const std::string& path)
{
    Decoded d;
    mpg123_init();
    int err = MPG123_OK;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) {
        d.error = "mpg123_new failed";
        return d;
    }
    // Gapless decoding (the library default where built in) trims the encoder's delay
    // and padding using the info tag.
    mpg123_param(h, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(h);
    mpg123_format(h, kSampleRate, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    int encoding = 0;
    if (mpg123_open(h, path.c_str()) != MPG123_OK || mpg123_getformat(h, &d.rate, &d.channels, &encoding) != MPG123_OK) {
        d.error = mpg123_strerror(h);
        mpg123_delete(h);
        return d;
    }
    mpg123_frameinfo info;
    if (mpg123_info(h, &info) == MPG123_OK)
        d.kbps = info.bitrate;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        size_t bytes = 0;
        const int rc = mpg123_read(h, buffer.data(), buffer.size(), &bytes);
        const float* samples = reinterpret_cast<const float*>(buffer.data());
        for (size_t i = 0; i + 1 < bytes / sizeof(float); i += 2) {
            d.left.push_back(samples[i]);
            d.right.push_back(samples[i + 1]);
        }
        if (rc == MPG123_DONE)
            break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            d.error = mpg123_strerror(h);
            break;
        }
    }
    mpg123_close(h);
    mpg123_delete(h);
    return d;
}

class MusicTrack : public ::testing::Test {
protected:
    testsupport::ScratchDir scratch;
    const fs::path& dir = scratch.path();
};

// Mid-channel level in dB over whole bars.
double barsLevel(const std::vector<int16_t>& pcm, int firstBar, int bars)
{
    double sum = 0.0;
    const size_t from = size_t(firstBar) * kFramesPerBar, to = from + size_t(bars) * kFramesPerBar;
    for (size_t i = from; i < to; ++i) {
        const double mid = (pcm[2 * i] + pcm[2 * i + 1]) / 65536.0;
        sum += mid * mid;
    }
    return 10.0 * std::log10(sum / double(to - from) + 1e-30);
}

} // namespace

// Rendering the full track takes seconds, and ctest runs every test in a process of its
// own, so one test follows a single render through mastering, encoding and decoding.
TEST_F(MusicTrack, FullRenderIsMasteredAndDecodesGapless)
{
    const MasteredMusic m = renderMasteredMusic();
    ASSERT_EQ(int64_t(m.pcm.size()), 2 * kTrackFrames);
    const double seconds = double(kTrackFrames) / kSampleRate;
    EXPECT_GE(seconds, 150.0);
    EXPECT_LE(seconds, 210.0);
    EXPECT_TRUE(m.report.ok);
    EXPECT_EQ(m.clippedSamples, 0);

    StereoTrack t;
    for (size_t i = 0; i < m.pcm.size(); i += 2) {
        t.left.push_back(m.pcm[i] / 32768.0f);
        t.right.push_back(m.pcm[i + 1] / 32768.0f);
    }
    EXPECT_NEAR(integratedLoudness(t.left, t.right), -14.0, 0.2);
    const TruePeakFilter meter;
    EXPECT_LE(peakDb(meter.envelope(t.left, t.right)), MasterSettings{}.ceilingDbtp + 0.1);
    // It starts and ends in silence (dither aside), so the show's first and last frames
    // meet no click.
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_LE(std::abs(m.pcm[i]), 2);
        EXPECT_LE(std::abs(m.pcm[m.pcm.size() - 1 - i]), 2);
    }

    // The form is audible: the break drops, the intro is not empty, the tail fades.
    const double main = barsLevel(m.pcm, kSections[sectionIndex("main")].firstBar, 8);
    EXPECT_GT(main, -20.0);
    EXPECT_LT(barsLevel(m.pcm, kSections[sectionIndex("break")].firstBar + 2, 4), main - 3.0);
    EXPECT_GT(barsLevel(m.pcm, 0, 4), -45.0);
    EXPECT_LT(barsLevel(m.pcm, kTotalBars - 1, 1), main - 20.0);

    const fs::path path = dir / kMusicFile;
    std::string error;
    ASSERT_TRUE(writeMusicFile(path.string(), m, error)) << error;
    EXPECT_TRUE(testsupport::temporariesBeside(path).empty());

    const Decoded d = decodeMp3(path.string());
    ASSERT_TRUE(d.error.empty()) << d.error;
    EXPECT_EQ(d.rate, kSampleRate);
    EXPECT_EQ(d.channels, 2);
    EXPECT_GE(d.kbps, 160);
    // Gapless: exactly the frames that went in, so the show can end on the last one.
    EXPECT_EQ(int64_t(d.left.size()), kTrackFrames);
    EXPECT_NEAR(integratedLoudness(d.left, d.right), -14.0, 1.0);
    EXPECT_LE(peakDb(meter.envelope(d.left, d.right)), -1.0);
    EXPECT_LT(samplePeakDb(d.left, d.right), -0.5); // no sample near clipping
}

TEST_F(MusicTrack, TwoRunsWriteIdenticalFiles)
{
    const MasteredMusic first = renderMasteredMusic();
    const MasteredMusic second = renderMasteredMusic();
    EXPECT_TRUE(first.pcm == second.pcm);
    std::string error;
    const fs::path a = dir / "first.mp3", b = dir / "second.mp3";
    ASSERT_TRUE(writeMusicFile(a.string(), first, error)) << error;
    ASSERT_TRUE(writeMusicFile(b.string(), second, error)) << error;
    EXPECT_TRUE(testsupport::readFile(a) == testsupport::readFile(b));
}

TEST_F(MusicTrack, UnwritablePlacesFailCleanly)
{
    MasteredMusic tiny;
    tiny.pcm.assign(2 * kSampleRate, 0);
    std::string error;
    const fs::path missing = dir / "no-such-dir" / kMusicFile;
    EXPECT_FALSE(writeMusicFile(missing.string(), tiny, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(testsupport::temporariesBeside(missing).empty());

    // A data directory that cannot exist (below a regular file) is refused before any
    // rendering starts.
    const fs::path file = dir / "plain-file";
    std::ofstream(file) << "x";
    EXPECT_FALSE(assetgen::generateMusic((file / "data").string()));
}
