// Without an output device the music still "plays": its position runs on the monotonic
// clock, so the show keeps time on a machine with no sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/AudioTestSupport.h"

namespace audiotest {
namespace {

class AudioSilentTest : public AudioFixture {
protected:
    HSTREAM openPlayable(double seconds = 2.0)
    {
        const HSTREAM s =
            BASS_StreamCreateFile(FALSE, tune(seconds).path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
        EXPECT_NE(s, 0u);
        return s;
    }
    static QWORD frames(HSTREAM s) { return BASS_ChannelGetPosition(s, BASS_POS_BYTE) / 4; }
    // Play starts (or resumes) the stream where it stands, and the clock moves it on from there.
    void expectPlayFrom(HSTREAM s, QWORD at)
    {
        ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
        EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PLAYING);
        EXPECT_EQ(frames(s), at);
        clock.advance(0.5);
        EXPECT_EQ(frames(s), at + 22050u);
    }
};

TEST_F(AudioSilentTest, DeviceFailureLeavesStreamsPlayingOnTheClock)
{
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    const HSTREAM s = openPlayable();
    ASSERT_NE(s, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(frames(s), 0u);

    // Time before play does not count.
    clock.advance(3.0);
    EXPECT_EQ(frames(s), 0u);
    ASSERT_NO_FATAL_FAILURE(expectPlayFrom(s, 0u));
    clock.advance(0.75);
    EXPECT_EQ(frames(s), 55125u);
    // Nothing to decode ahead without a device.
    EXPECT_FALSE(BASS_Update(0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST_F(AudioSilentTest, PauseHoldsAndPlayResumesWithoutRestart)
{
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const HSTREAM s = openPlayable();
    EXPECT_FALSE(BASS_ChannelPause(s));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);

    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    clock.advance(0.5);
    ASSERT_TRUE(BASS_ChannelPause(s));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PAUSED);
    EXPECT_FALSE(BASS_ChannelPause(s));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    clock.advance(5.0);
    EXPECT_EQ(frames(s), 22050u);

    ASSERT_NO_FATAL_FAILURE(expectPlayFrom(s, 22050u));
    // Playing while playing changes nothing; restart goes back to the start.
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    EXPECT_EQ(frames(s), 44100u);
    ASSERT_TRUE(BASS_ChannelPlay(s, TRUE));
    EXPECT_EQ(frames(s), 0u);
    clock.advance(0.1);
    EXPECT_EQ(frames(s), 4410u);
}

TEST_F(AudioSilentTest, EndReportsStoppedAndStaysThere)
{
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const HSTREAM s = openPlayable(1.0);
    const QWORD length = BASS_ChannelGetLength(s, BASS_POS_BYTE);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    clock.advance(0.999);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PLAYING);
    clock.advance(0.002);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);
    clock.advance(10.0);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);
    EXPECT_FALSE(BASS_ChannelPause(s));

    // Play without restart has nothing left to play.
    EXPECT_TRUE(BASS_ChannelPlay(s, FALSE));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);
    // Moving back makes it playable again, from there.
    ASSERT_TRUE(BASS_ChannelSetPosition(s, 4 * 22050, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    clock.advance(0.1);
    EXPECT_EQ(frames(s), 22050u + 4410u);
}

TEST_F(AudioSilentTest, SetPositionWhilePlayingMovesTheClock)
{
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const HSTREAM s = openPlayable();
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    clock.advance(1.5);
    ASSERT_TRUE(BASS_ChannelSetPosition(s, BASS_ChannelSeconds2Bytes(s, 0.25), BASS_POS_BYTE));
    EXPECT_EQ(frames(s), 11025u);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PLAYING);
    clock.advance(0.25);
    EXPECT_EQ(frames(s), 22050u);
    EXPECT_FALSE(BASS_ChannelSetPosition(s, BASS_ChannelGetLength(s, BASS_POS_BYTE) + 4, BASS_POS_BYTE));
    EXPECT_EQ(frames(s), 22050u);
    // Moving to the very end ends it.
    ASSERT_TRUE(BASS_ChannelSetPosition(s, BASS_ChannelGetLength(s, BASS_POS_BYTE), BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
}

TEST_F(AudioSilentTest, NoSoundDeviceAndLayerLifetime)
{
    // Device 0 is "no sound": it succeeds and streams play on the clock.
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_TRUE(BASS_Start());
    EXPECT_TRUE(BASS_Update(0));
    const HSTREAM s = openPlayable();
    ASSERT_NO_FATAL_FAILURE(expectPlayFrom(s, 0u));

    // Freeing the layer frees its streams.
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_Free());
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
}

// The real SDL path on a machine without the requested audio driver: initialisation
// fails and the stream plays on the real monotonic clock.
TEST_F(AudioSilentTest, UnavailableSdlDriverFallsBackToTheClock)
{
    EXPECT_FALSE(initWithSdlDriver("vantor-no-such-driver"));

    const HSTREAM s = openPlayable();
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const QWORD position = frames(s);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // At least the time slept, at most the time that passed: the clock, not the decoder.
    EXPECT_GE(position, static_cast<QWORD>(0.2 * 44100));
    EXPECT_LE(position, static_cast<QWORD>((elapsed + 0.001) * 44100));
}

} // namespace
} // namespace audiotest
