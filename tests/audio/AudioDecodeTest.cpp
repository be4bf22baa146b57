// Decoding through decode-only streams: gapless length and alignment, sample-exact seeks,
// byte and second conversions, and files that are missing or broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "support/AudioTestSupport.h"
#include "support/ReadFile.h"

namespace audiotest {
namespace {

class AudioDecodeTest : public AudioFixture {};

HSTREAM openDecode(const std::string& path)
{
    return BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN | BASS_STREAM_DECODE);
}

// Correlation of the decoded left channel against the original at a lag (frames).
double correlation(const Tune& t, const std::vector<std::int16_t>& decoded, long lag)
{
    double sum = 0.0;
    double energyA = 0.0;
    double energyB = 0.0;
    const long frames = static_cast<long>(t.pcm.size() / t.channels);
    for (long i = 4000; i < frames - 4000; ++i) {
        const double a = t.pcm[i * t.channels];
        const double b = decoded[(i + lag) * t.channels];
        sum += a * b;
        energyA += a * a;
        energyB += b * b;
    }
    return sum / std::sqrt(energyA * energyB + 1e-9);
}

TEST_F(AudioDecodeTest, LengthIsExactlyTheEncodedSamples)
{
    for (auto [seconds, rate, channels] : {std::tuple{2.0, 44100, 2}, std::tuple{1.5, 22050, 1},
                                           std::tuple{1.0, 48000, 2}}) {
        const Tune& t = tune(seconds, rate, channels);
        const QWORD frames = t.pcm.size() / channels;
        const HSTREAM s = openDecode(t.path);
        ASSERT_NE(s, 0u) << t.path;
        BASS_CHANNELINFO info{};
        ASSERT_TRUE(BASS_ChannelGetInfo(s, &info));
        EXPECT_EQ(info.freq, static_cast<DWORD>(rate));
        EXPECT_EQ(info.chans, static_cast<DWORD>(channels));
        EXPECT_EQ(info.flags, BASS_STREAM_PRESCAN | BASS_STREAM_DECODE);
        EXPECT_EQ(BASS_ChannelGetLength(s, BASS_POS_BYTE), frames * channels * 2) << rate;
        // Reading everything gives exactly the length, no encoder delay or padding.
        EXPECT_EQ(decodeAll(t.path).size(), t.pcm.size()) << rate;
    }
}

TEST_F(AudioDecodeTest, SampleZeroIsTheMusicsFirstSample)
{
    const Tune& t = tune(2.0);
    const std::vector<std::int16_t> decoded = decodeAll(t.path);
    ASSERT_EQ(decoded.size(), t.pcm.size());
    const double atZero = correlation(t, decoded, 0);
    EXPECT_GT(atZero, 0.95);
    // A decoder delay of even one sample would move the best match off zero.
    for (long lag : {-1105L, -576L, -529L, -1L, 1L, 529L, 576L, 1105L})
        EXPECT_LT(correlation(t, decoded, lag), atZero) << "lag " << lag;
}

TEST_F(AudioDecodeTest, SeekLandsOnTheExactSample)
{
    const Tune& t = tune(2.0);
    const std::vector<std::int16_t> all = decodeAll(t.path);
    const HSTREAM s = openDecode(t.path);
    ASSERT_NE(s, 0u);
    const QWORD frames = all.size() / 2;
    std::vector<std::int16_t> chunk(2 * 3000);
    for (QWORD frame : {QWORD{44100 + 7}, QWORD{1}, QWORD{1151}, QWORD{1152}, QWORD{5000},
                        QWORD{0}, frames - 100}) {
        ASSERT_TRUE(BASS_ChannelSetPosition(s, frame * 4, BASS_POS_BYTE)) << frame;
        EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), frame * 4);
        const DWORD got = BASS_ChannelGetData(s, chunk.data(), chunk.size() * 2);
        const QWORD expected = std::min<QWORD>(3000, frames - frame);
        ASSERT_EQ(got, expected * 4) << frame;
        EXPECT_EQ(std::memcmp(chunk.data(), all.data() + frame * 2, got), 0) << "at frame " << frame;
        EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), (frame + expected) * 4);
    }
    // A byte inside a frame means that frame.
    ASSERT_TRUE(BASS_ChannelSetPosition(s, 1000 * 4 + 3, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), 1000u * 4);
}

TEST_F(AudioDecodeTest, EndOfStreamAndPositionsOutOfRange)
{
    const Tune& t = tune(1.0);
    const HSTREAM s = openDecode(t.path);
    ASSERT_NE(s, 0u);
    const QWORD length = BASS_ChannelGetLength(s, BASS_POS_BYTE);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PLAYING);

    // Past the end is refused and the position stays; the end itself is a position.
    ASSERT_TRUE(BASS_ChannelSetPosition(s, 400, BASS_POS_BYTE));
    EXPECT_FALSE(BASS_ChannelSetPosition(s, length + 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), 400u);
    EXPECT_FALSE(BASS_ChannelSetPosition(s, static_cast<QWORD>(-1), BASS_POS_BYTE));
    ASSERT_TRUE(BASS_ChannelSetPosition(s, length, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    std::int16_t buffer[64];
    EXPECT_EQ(BASS_ChannelGetData(s, buffer, sizeof buffer), 0u);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);

    // Reading to the end stops exactly there.
    ASSERT_TRUE(BASS_ChannelSetPosition(s, length - 40, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetData(s, buffer, sizeof buffer), 40u);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);

    // Decode-only streams are read, never played.
    EXPECT_FALSE(BASS_ChannelPlay(s, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DECODE);
    EXPECT_EQ(BASS_ChannelGetPosition(s, 1234), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_EQ(BASS_ChannelGetData(s, nullptr, 64), 0xFFFFFFFFu);
}

TEST_F(AudioDecodeTest, SecondsAndBytes)
{
    const HSTREAM stereo = openDecode(tune(1.0).path);
    const HSTREAM mono = openDecode(tune(1.5, 22050, 1).path);
    ASSERT_NE(stereo, 0u);
    ASSERT_NE(mono, 0u);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, 1.0), 44100u * 4);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(mono, 1.0), 22050u * 2);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(stereo, 44100u * 4), 1.0);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(mono, 22050u), 0.5);
    // Always whole frames, to the nearest one.
    for (double seconds : {0.1, 0.123456, 1.0 / 3.0, 2.71828, double{5.0f / 20.0f}})
        EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, seconds) % 4, 0u) << seconds;
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, 0.99999999), 44100u * 4);
    // Row 100 at 20 rows a second, given as the float the row timer passes.
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, static_cast<float>(100.0f / 20.0)), 5u * 44100 * 4);

    EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, -0.5), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, std::nan("")), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(stereo, INFINITY), static_cast<QWORD>(-1));
}

TEST_F(AudioDecodeTest, MissingAndBrokenFilesFailCleanly)
{
    EXPECT_EQ(openDecode("/nonexistent/music.mp3"), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, "/nonexistent/music.mp3", 0, 0, BASS_STREAM_PRESCAN), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, nullptr, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

    const std::string text = "This is not an MP3 file, just some words.\n";
    EXPECT_EQ(openDecode(scratch().write("text.mp3", text)), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    EXPECT_EQ(openDecode(scratch().write("empty.mp3", "")), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    // A folder is not a file either.
    EXPECT_EQ(openDecode("/tmp"), 0u);
}

// Damaged files either fail to open or open and read to their stated length: never a
// crash, a hang or a read past the end.
TEST_F(AudioDecodeTest, DamagedFilesReadToTheirLength)
{
    const std::vector<unsigned char> good = testsupport::readBytes(tune(2.0).path);
    ASSERT_GT(good.size(), 4000u);
    std::vector<unsigned char> junk(20000);
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    std::vector<unsigned char> corrupted = good;
    for (std::size_t i = good.size() / 3; i < good.size() / 3 + 3000; ++i)
        corrupted[i] ^= 0x5A;

    const std::vector<std::pair<std::string, std::vector<unsigned char>>> files = {
        {"truncated.mp3", {good.begin(), good.begin() + good.size() / 2}},
        {"tag-only.mp3", {good.begin(), good.begin() + 600}},
        {"corrupted.mp3", corrupted},
        {"junk.mp3", junk},
        {"junk-then-music.mp3", [&] {
             auto v = junk;
             v.insert(v.end(), good.begin(), good.end());
             return v;
         }()},
    };
    std::vector<std::int16_t> buffer(8192);
    for (const auto& [name, bytes] : files) {
        const HSTREAM s = openDecode(scratch().write(name, bytes));
        if (s == 0) {
            EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM) << name;
            continue;
        }
        const QWORD length = BASS_ChannelGetLength(s, BASS_POS_BYTE);
        EXPECT_LT(length, 60u * 44100 * 4) << name;
        QWORD total = 0;
        for (int guard = 0; guard < 10000; ++guard) {
            const DWORD got = BASS_ChannelGetData(s, buffer.data(), buffer.size() * 2);
            ASSERT_NE(got, 0xFFFFFFFFu) << name;
            if (got == 0)
                break;
            total += got;
        }
        EXPECT_EQ(total, length) << name;
        EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED) << name;
        BASS_StreamFree(s);
    }
}

// Damage inside the music, of the sizes a bad copy leaves: the decoder must find the music
// again past any length of it, play the destroyed stretch as silence and keep every later
// sample at its own time, so the row clock stays on the music.
struct Damage {
    const char* name;
    std::size_t bytes;
    bool random;    // random bytes, else zeros
    bool inserted;  // put between the file's bytes, else over them
};

void PrintTo(const Damage& d, std::ostream* out)
{
    *out << d.name;
}

// Damages a copy of the file at goodPath in its middle and checks what the decoder makes
// of it against the undamaged decode.
void expectDamageHeardAsSilence(const std::string& goodPath, const Damage& damage)
{
    const std::vector<std::int16_t> good = decodeAll(goodPath);
    ASSERT_FALSE(good.empty());
    std::vector<unsigned char> bytes = testsupport::readBytes(goodPath);
    const std::size_t middle = bytes.size() / 2;
    std::vector<unsigned char> junk(damage.bytes, 0);
    unsigned state = 12345;
    for (unsigned char& b : junk)
        b = damage.random ? static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 16) : 0;
    if (damage.inserted)
        bytes.insert(bytes.begin() + static_cast<long>(middle), junk.begin(), junk.end());
    else
        std::copy(junk.begin(), junk.end(), bytes.begin() + static_cast<long>(middle));
    const std::string path = scratch().write(std::string("damaged-") + damage.name + ".mp3", bytes);

    const std::vector<std::int16_t> damaged = decodeAll(path);
    // The same length: every frame the damage destroyed is there as silence.
    EXPECT_EQ(damaged.size(), good.size());
    ASSERT_GE(damaged.size(), good.size() * 9 / 10) << "the music stops at the damage";

    // Where the file is whole, sample for sample what the undamaged file gives: up to the
    // frame before the damage, and from a few frames after it (the decoder's overlap and
    // bit reservoir need them) to the end.
    const std::size_t frameSamples = 1152 * 2;
    const double damagedFrom = double(middle) / double(bytes.size());
    const auto damageSample = static_cast<std::size_t>(damagedFrom * double(good.size())) & ~std::size_t(1);
    const std::size_t before = damageSample - 4 * frameSamples;
    const std::size_t after = damageSample + (damage.bytes / 400 + 8) * frameSamples;
    EXPECT_TRUE(std::equal(good.begin(), good.begin() + static_cast<long>(before), damaged.begin()));
    const std::size_t common = std::min(good.size(), damaged.size());
    ASSERT_LT(after, common);
    std::size_t differing = 0;
    std::size_t firstDiffering = 0;
    for (std::size_t i = after; i < common; ++i)
        if (good[i] != damaged[i] && differing++ == 0)
            firstDiffering = i;
    EXPECT_EQ(differing, 0u) << "after the damage the music is out of place, first at frame "
                             << (firstDiffering - damageSample) / frameSamples << " after the damage";

    // Overwritten frames are heard as silence: at least one whole frame of it.
    if (!damage.inserted) {
        std::size_t longestSilence = 0;
        for (std::size_t i = before, run = 0; i < after; ++i) {
            run = damaged[i] == 0 ? run + 1 : 0;
            longestSilence = std::max(longestSilence, run);
        }
        EXPECT_GE(longestSilence, frameSamples);
    }
}

class DamagedMusicTest : public AudioFixture, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedMusicTest, PlaysSilenceWhereTheDamageIsAndKeepsTheRestInTime)
{
    const Tune& t = tune(20.0);
    ASSERT_EQ(decodeAll(t.path).size(), t.pcm.size());
    expectDamageHeardAsSilence(t.path, GetParam());
}

// The show's own music (three minutes at its own bit rate), damaged as the first report of
// this fault did it: the show must still reach its last row on the music's clock.
TEST_F(AudioDecodeTest, TheShowsOwnMusicKeepsItsLengthPastAKilobyteOfDamage)
{
    const std::string music = VANTOR_DATA "/vaxo-dubtech.mp3";
    expectDamageHeardAsSilence(music, Damage{"ShowMusicThousandRandomBytes", 1000, true, false});
    expectDamageHeardAsSilence(music, Damage{"ShowMusicTwoThousandZeros", 2000, false, false});
}

INSTANTIATE_TEST_SUITE_P(AudioDecodeTest, DamagedMusicTest,
    testing::Values(Damage{"ThousandRandomBytes", 1000, true, false}, Damage{"TwoThousandZeros", 2000, false, false},
        Damage{"TwentyThousandRandomBytes", 20000, true, false}, Damage{"ThousandBytesInserted", 1000, true, true},
        Damage{"HundredThousandZeros", 100000, false, false}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST_F(AudioDecodeTest, UnknownHandlesAreRefused)
{
    const DWORD bogus = 0x7777;
    EXPECT_FALSE(BASS_ChannelPlay(bogus, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelPause(bogus));
    EXPECT_EQ(BASS_ChannelIsActive(bogus), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(bogus, BASS_POS_BYTE), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ChannelGetLength(bogus, BASS_POS_BYTE), static_cast<QWORD>(-1));
    EXPECT_LT(BASS_ChannelBytes2Seconds(bogus, 100), 0.0);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(bogus, 1.0), static_cast<QWORD>(-1));
    EXPECT_FALSE(BASS_ChannelSetPosition(bogus, 0, BASS_POS_BYTE));
    std::int16_t buffer[8];
    EXPECT_EQ(BASS_ChannelGetData(bogus, buffer, sizeof buffer), 0xFFFFFFFFu);
    EXPECT_FALSE(BASS_StreamFree(bogus));
    BASS_CHANNELINFO info{};
    EXPECT_FALSE(BASS_ChannelGetInfo(bogus, &info));

    // A freed stream's handle is dead too.
    const HSTREAM s = openDecode(tune(1.0).path);
    ASSERT_NE(s, 0u);
    EXPECT_TRUE(BASS_StreamFree(s));
    EXPECT_EQ(BASS_ChannelGetLength(s, BASS_POS_BYTE), static_cast<QWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

} // namespace
} // namespace audiotest
