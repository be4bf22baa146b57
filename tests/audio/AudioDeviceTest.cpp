// Playback through an output device, here a silent fake whose callbacks the test drives
// on a stepped clock: the samples it receives, the position of what is being heard
// between callbacks, pause and resume, seeking, the end and a rate the device lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "support/AudioTestSupport.h"

namespace audiotest {
namespace {

constexpr int bufferFrames = 1024;

class AudioDeviceTest : public AudioFixture {
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        useFakeDevice({44100, 2, bufferFrames, bufferFrames});
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(device->started);
    }

    HSTREAM open(const Tune& t)
    {
        const HSTREAM s = BASS_StreamCreateFile(FALSE, t.path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
        EXPECT_NE(s, 0u);
        return s;
    }

    // One callback a buffer apart on the clock, with the queue topped up as the frame
    // loop's BASS_Update does.
    std::vector<std::int16_t> callback(int frames = bufferFrames, int rate = 44100)
    {
        BASS_Update(0);
        clock.advance(static_cast<double>(frames) / rate);
        return device->pump(frames);
    }

    // What count callbacks in a row hand the device.
    std::vector<std::int16_t> listen(int count)
    {
        std::vector<std::int16_t> heard;
        for (int i = 0; i < count; ++i) {
            const auto out = callback();
            heard.insert(heard.end(), out.begin(), out.end());
        }
        return heard;
    }

    static double seconds(HSTREAM s)
    {
        return BASS_ChannelBytes2Seconds(s, BASS_ChannelGetPosition(s, BASS_POS_BYTE));
    }
};

TEST_F(AudioDeviceTest, DeviceReceivesTheDecodedSamplesInOrder)
{
    const Tune& t = tune(2.0);
    const std::vector<std::int16_t> all = decodeAll(t.path);
    const HSTREAM s = open(t);
    // Nothing plays before play.
    const auto before = callback();
    EXPECT_TRUE(std::all_of(before.begin(), before.end(), [](auto v) { return v == 0; }));
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const std::vector<std::int16_t> heard = listen(40);
    ASSERT_LE(heard.size(), all.size());
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), all.begin()));
}

TEST_F(AudioDeviceTest, PositionMovesSmoothlyBetweenCallbacks)
{
    const HSTREAM s = open(tune(2.0));
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), 0u);
    const double dt = bufferFrames / 44100.0 / 8.0;
    double last = 0.0;
    double largestStep = 0.0;
    for (int k = 0; k < 60; ++k) {
        BASS_Update(0);
        device->pump(bufferFrames);
        for (int sub = 0; sub < 8; ++sub) {
            clock.advance(dt);
            const double now = seconds(s);
            ASSERT_GE(now, last);
            if (k >= 2)
                largestStep = std::max(largestStep, now - last);
            // What is heard trails what was handed over by the device's buffer.
            EXPECT_LE(now, (k + 1.0) * bufferFrames / 44100.0 + 1e-9);
            last = now;
        }
    }
    // The clock steps by an eighth of a buffer and so does the position: no buffer-sized
    // jumps. The heard position runs one buffer behind the callbacks.
    EXPECT_NEAR(largestStep, dt, dt * 0.02);
    EXPECT_NEAR(last, 60 * 8 * dt - bufferFrames / 44100.0, 1.0 / 44100.0 + 1e-6);
}

TEST_F(AudioDeviceTest, JitteryCallbacksKeepThePositionMonotonicAndClose)
{
    const HSTREAM s = open(tune(3.0));
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const double period = bufferFrames / 44100.0;
    const double frame = 1.0 / 60.0;
    double time = 0.0;          // since the first callback
    double nextCallback = 0.0;  // nominal; actual calls wander around it
    double last = 0.0;
    double lastTime = 0.0;
    double worstStepError = 0.0;
    double worstError = 0.0;
    unsigned seed = 12345;
    int calls = 0;
    const double start = clock.now();
    for (int n = 0; n < 150; ++n) {
        // Callbacks due before the next frame, each up to ±4 ms off its slot, some in
        // back-to-back pairs as sound servers do.
        while (nextCallback <= time + frame) {
            seed = seed * 1103515245u + 12345u;
            double jitter = (static_cast<int>((seed >> 16) % 8001) - 4000) * 1e-6;
            if (++calls % 7 == 3)
                jitter = 0.9 * period;  // late, right before the next one
            clock.set(std::max(clock.now(), start + nextCallback + jitter));
            BASS_Update(0);
            device->pump(bufferFrames);
            nextCallback += period;
        }
        time += frame;
        clock.set(std::max(clock.now(), start + time));
        const double now = seconds(s);
        const double elapsed = clock.now() - start;
        ASSERT_GE(now, last);
        if (n > 10) {
            worstStepError = std::max(worstStepError, std::fabs((now - last) - (elapsed - lastTime)));
            // Truth: the device plays its samples at its rate, one buffer behind.
            worstError = std::max(worstError, std::fabs(now - (elapsed - period)));
        }
        last = now;
        lastTime = elapsed;
    }
    EXPECT_LT(worstStepError, 0.003);
    EXPECT_LT(worstError, 0.006);
}

TEST_F(AudioDeviceTest, PauseSilencesAndResumeContinues)
{
    const Tune& t = tune(2.0);
    const std::vector<std::int16_t> all = decodeAll(t.path);
    const HSTREAM s = open(t);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    std::vector<std::int16_t> heard = listen(10);
    ASSERT_TRUE(BASS_ChannelPause(s));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PAUSED);
    // Ten buffers handed, the last two still in the device: eight heard.
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), 8u * bufferFrames * 4);
    for (int i = 0; i < 5; ++i) {
        const auto out = callback();
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](auto v) { return v == 0; }));
    }
    // The device played out what it held, and there the position stops.
    const QWORD paused = BASS_ChannelGetPosition(s, BASS_POS_BYTE);
    EXPECT_EQ(paused, 10u * bufferFrames * 4);
    clock.advance(1.0);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), paused);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PAUSED);

    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), paused);
    for (int i = 0; i < 10; ++i) {
        const auto out = callback();
        heard.insert(heard.end(), out.begin(), out.end());
        EXPECT_GE(BASS_ChannelGetPosition(s, BASS_POS_BYTE), paused);
    }
    // Nothing skipped, nothing repeated, and the position one buffer behind again.
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), all.begin()));
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), paused + 8u * bufferFrames * 4);
}

TEST_F(AudioDeviceTest, SeekWhilePlayingPlaysFromTheNewSample)
{
    const Tune& t = tune(2.0);
    const std::vector<std::int16_t> all = decodeAll(t.path);
    const HSTREAM s = open(t);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    for (int i = 0; i < 5; ++i)
        callback();
    const QWORD target = 33333;
    ASSERT_TRUE(BASS_ChannelSetPosition(s, target * 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), target * 4);
    const auto out = callback();
    EXPECT_EQ(std::memcmp(out.data(), all.data() + target * 2, out.size() * 2), 0);
    for (int i = 0; i < 4; ++i) {
        callback();
        EXPECT_GE(BASS_ChannelGetPosition(s, BASS_POS_BYTE), target * 4);
    }
    // Five callbacks since the seek, the first of them still one buffer behind it.
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), (target + 3 * bufferFrames) * 4);
}

TEST_F(AudioDeviceTest, EndOfStreamStopsAtTheEnd)
{
    const Tune& t = tune(1.0);
    const HSTREAM s = open(t);
    const QWORD length = BASS_ChannelGetLength(s, BASS_POS_BYTE);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    int callbacks = 0;
    while (BASS_ChannelIsActive(s) == BASS_ACTIVE_PLAYING && callbacks < 200) {
        callback();
        ++callbacks;
        ASSERT_LE(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);
    }
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);
    // The first callback, 44100 frames and one buffer of device latency later, the end.
    EXPECT_EQ(callbacks, static_cast<int>(std::ceil(1.0 + (44100.0 + bufferFrames) / bufferFrames)));
    for (int i = 0; i < 5; ++i) {
        const auto out = callback();
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](auto v) { return v == 0; }));
    }
    EXPECT_EQ(BASS_ChannelGetPosition(s, BASS_POS_BYTE), length);
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_STOPPED);
}

TEST_F(AudioDeviceTest, StreamsMixAndFreeingOneLeavesTheOther)
{
    const Tune& t = tune(2.0);
    const std::vector<std::int16_t> all = decodeAll(t.path);
    const HSTREAM a = open(t);
    const HSTREAM b = open(t);
    ASSERT_TRUE(BASS_ChannelPlay(a, FALSE));
    ASSERT_TRUE(BASS_ChannelPlay(b, FALSE));
    const auto both = callback();
    for (std::size_t i = 0; i < both.size(); ++i)
        ASSERT_EQ(both[i], std::clamp(2 * all[i], -32768, 32767)) << i;
    ASSERT_TRUE(BASS_StreamFree(b));
    const auto one = callback();
    EXPECT_EQ(std::memcmp(one.data(), all.data() + both.size(), one.size() * 2), 0);
}

// A 22.05 kHz mono file on a 44.1 kHz stereo device: each stream frame lasts two device
// frames, and the position counts the stream's own frames.
class AudioResampleTest : public AudioDeviceTest {};

TEST_F(AudioResampleTest, OtherRatesAreInterpolatedAndTimedAtTheirOwnRate)
{
    const Tune& t = tune(1.5, 22050, 1);
    const std::vector<std::int16_t> all = decodeAll(t.path);
    const HSTREAM s = open(t);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const std::vector<std::int16_t> heard = listen(20);
    const std::size_t frames = heard.size() / 2;
    for (std::size_t j = 0; j + 1 < frames; ++j) {
        ASSERT_EQ(heard[2 * j], heard[2 * j + 1]) << "mono goes to both sides";
        const std::int16_t expected =
            j % 2 == 0 ? all[j / 2]
                       : static_cast<std::int16_t>(std::lround(0.5 * (all[j / 2] + all[j / 2 + 1])));
        ASSERT_NEAR(heard[2 * j], expected, 1) << j;
    }
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(s, 1.0), 22050u * 2);
    // 20 callbacks of 1024 device frames; the first one set the position one buffer
    // behind what it took, and the clock ran on from there.
    EXPECT_NEAR(seconds(s), 18.0 * bufferFrames / 44100, 2.0 / 22050);
}

} // namespace
} // namespace audiotest

namespace audiotest {
namespace {

// The real SDL output on its dummy driver, which needs no sound card: callbacks come
// from SDL's own thread, paced by SDL's timer.
class AudioSdlDummyTest : public AudioFixture {};

TEST_F(AudioSdlDummyTest, PlaysThroughSdlOnItsOwnThread)
{
    if (!initWithSdlDriver("dummy"))
        GTEST_SKIP() << "this SDL has no dummy audio driver";

    const HSTREAM s = BASS_StreamCreateFile(FALSE, tune(2.0).path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const QWORD length = BASS_ChannelGetLength(s, BASS_POS_BYTE);
    QWORD last = 0;
    // However slow the machine, the position must move, never back, never past the end.
    for (int i = 0; i < 400 && last < 4 * 4410; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        BASS_Update(0);
        const QWORD now = BASS_ChannelGetPosition(s, BASS_POS_BYTE);
        ASSERT_GE(now, last);
        ASSERT_LE(now, length);
        last = now;
    }
    EXPECT_GE(last, 4u * 4410);
    ASSERT_TRUE(BASS_ChannelPause(s));
    EXPECT_EQ(BASS_ChannelIsActive(s), BASS_ACTIVE_PAUSED);
    EXPECT_TRUE(BASS_Free());
}

} // namespace
} // namespace audiotest
