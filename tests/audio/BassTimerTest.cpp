// The row timer over the music stream: 150 beats a minute at 8 rows a beat is 20 rows a
// second, read from the stream's position, here on a stepped clock with no device.
#include <gtest/gtest.h>

#include "support/AudioTestSupport.h"
#include "audio/BassTimer.h"

namespace audiotest {
namespace {

class BassTimerTest : public AudioFixture {
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        stream = BASS_StreamCreateFile(FALSE, tune(8.0).path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
        ASSERT_NE(stream, 0u);
    }
    HSTREAM stream = 0;
};

TEST_F(BassTimerTest, RowFollowsTheMusic)
{
    BassTimer timer(stream, 150.0f, 8);
    EXPECT_DOUBLE_EQ(timer.getRowRate(), 20.0);
    EXPECT_EQ(timer.getRow(), 0.0f);
    EXPECT_FALSE(timer.isPlaying());
    timer.play();
    EXPECT_TRUE(timer.isPlaying());
    EXPECT_EQ(timer.getRow(), 0.0f);
    clock.advance(1.0);
    EXPECT_FLOAT_EQ(timer.getRow(), 20.0f);
    EXPECT_FLOAT_EQ(timer.getSeconds(), 1.0f);
    clock.advance(0.25);
    EXPECT_FLOAT_EQ(timer.getRow(), 25.0f);
    // Between whole rows: a fraction for the tracks to interpolate, to within a frame.
    clock.advance(1.0 / 40.0);
    EXPECT_NEAR(timer.getRow(), 25.5f, 20.0 / 44100);

    timer.pause();
    EXPECT_FALSE(timer.isPlaying());
    const float paused = timer.getRow();
    clock.advance(2.0);
    EXPECT_EQ(timer.getRow(), paused);
    timer.play();
    clock.advance(0.5);
    EXPECT_NEAR(timer.getRow(), paused + 10.0f, 20.0 / 44100);
}

TEST_F(BassTimerTest, SetRowGivesTheRowBack)
{
    BassTimer timer(stream, 150.0f, 8);
    timer.setRow(100.0f);
    EXPECT_FLOAT_EQ(timer.getSeconds(), 5.0f);
    EXPECT_FLOAT_EQ(timer.getRow(), 100.0f);
    // Within the rounding of the byte position: one frame is 20 / 44100 rows.
    for (float row : {0.0f, 0.37f, 13.3f, 64.125f, 99.999f, 123.456f, 159.9f}) {
        timer.setRow(row);
        EXPECT_NEAR(timer.getRow(), row, 0.5 * 20.0 / 44100 + 1e-5) << row;
    }
    // While playing, the row runs on from where it was set.
    timer.setRow(40.0f);
    timer.play();
    clock.advance(0.25);
    EXPECT_FLOAT_EQ(timer.getRow(), 45.0f);
    // A row before the start or past the end leaves the position where it is.
    timer.setRow(-10.0f);
    EXPECT_FLOAT_EQ(timer.getRow(), 45.0f);
    timer.setRow(1e6f);
    EXPECT_FLOAT_EQ(timer.getRow(), 45.0f);
}

TEST_F(BassTimerTest, RowStopsAtTheEndOfTheMusic)
{
    BassTimer timer(stream, 150.0f, 8);
    timer.play();
    clock.advance(30.0);
    EXPECT_FALSE(timer.isPlaying());
    EXPECT_FLOAT_EQ(timer.getRow(), 160.0f);
}

} // namespace
} // namespace audiotest
