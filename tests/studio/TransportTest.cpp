// The studio's transport: seeks clamp to the show, bars are 32 rows wherever the row lies in
// one, a loop takes the music back by whole loop lengths when it plays through the loop's
// end, and the show's end pauses it. First on an exact fake clock, then on the music itself
// (a generated tune on the audio layer's silent clock, stepped by hand), and the show's end
// from the show's own timeline.
#include <gtest/gtest.h>

#include "support/CapturedOutput.h"

#include <cmath>
#include <optional>
#include <vector>

#include "audio/BassTimer.h"
#include "studio/BassMusicClock.h"
#include "studio/Transport.h"
#include "support/AudioTestSupport.h"
#include "support/ScratchDir.h"
#include "sync/Sync.h"
#include "sync/Timeline.h"

namespace studio {
namespace {

// Music that is exactly where it was put, and advances only when told.
class FakeMusic : public MusicClock {
public:
    double row() override { return position; }
    void seek(double row) override
    {
        position = row;
        seeks.push_back(row);
    }
    void play() override { playing = true; }
    void pause() override { playing = false; }
    void advance(double rows)
    {
        if (playing)
            position += rows;
    }

    double position = 0.0;
    bool playing = true;
    std::vector<double> seeks;
};

// Fake music under a transport that each case makes for a show of the length it needs.
class TransportOnFakeMusic : public testing::Test {
protected:
    Transport& showOf(double endRow) { return made.emplace(music, endRow); }

    FakeMusic music;
    std::optional<Transport> made;
    std::string error; // what a refused loop says
};

// Plays from a row before the show's end to past it: the transport stops at the end,
// paused, and the music with it.
void playThroughTheEnd(FakeMusic& music, Transport& transport, double end)
{
    transport.seek(end - 1.0);
    music.advance(2.5);
    EXPECT_EQ(transport.update(), end);
    EXPECT_TRUE(transport.paused());
    EXPECT_FALSE(music.playing);
    EXPECT_EQ(music.position, end);
}

TEST_F(TransportOnFakeMusic, SeeksClampToTheShowAndBarsCountFromTheBarTheRowIsIn)
{
    Transport& transport = showOf(200.0);
    EXPECT_EQ(transport.seek(-5.0), 0.0);
    EXPECT_EQ(transport.seek(1e9), 200.0);
    EXPECT_EQ(transport.seek(NAN), 0.0);
    EXPECT_EQ(transport.seek(75.5), 75.5);
    EXPECT_EQ(music.position, 75.5);

    EXPECT_EQ(transport.seekBars(1), 96.0);  // from bar 2 (rows 64 to 96)
    EXPECT_EQ(transport.seekBars(-1), 64.0);
    EXPECT_EQ(transport.seekBars(-8), 0.0);
    EXPECT_EQ(transport.seekBars(8), 200.0); // past the end: the end
    // A seek comes back from the stream a sample short of the bar line; it still counts
    // as on it, so a step right leaves the bar instead of landing on the same line.
    music.position = 64.0 - 0.0004;
    transport.update();
    EXPECT_EQ(transport.seekBars(1), 96.0);
}

TEST_F(TransportOnFakeMusic, PlayingThroughTheLoopEndWrapsTheMusicKeepingTheOvershoot)
{
    Transport& transport = showOf(3584.0);
    ASSERT_TRUE(transport.setLoop(64.0, 128.0, error)) << error;
    EXPECT_EQ(music.position, 64.0); // outside the loop: moved to its start
    music.advance(63.0);
    EXPECT_EQ(transport.update(), 127.0);
    music.advance(1.75); // a late frame notices the end 0.75 rows on
    EXPECT_EQ(transport.update(), 64.75);
    EXPECT_EQ(music.position, 64.75);
    music.advance(64.0 * 3 + 0.25); // a very long frame: whole loops fall away
    EXPECT_EQ(transport.update(), 65.0);

    // A seek past the loop's end is left where it went; only playing through loops.
    transport.seek(300.0);
    music.advance(1.0);
    EXPECT_EQ(transport.update(), 301.0);
    transport.loopOff();
    transport.seek(120.0);
    music.advance(10.0);
    EXPECT_EQ(transport.update(), 130.0);
}

TEST_F(TransportOnFakeMusic, TheShowsEndPausesTheMusicThereAndAShorterShowPullsTheLoopIn)
{
    Transport& transport = showOf(100.0);
    playThroughTheEnd(music, transport, 100.0);
    // A move while playing restarts music that ran to its end.
    transport.play();
    music.playing = false;
    transport.seek(10.0);
    EXPECT_TRUE(music.playing);

    ASSERT_TRUE(transport.setLoop(64.0, 96.0, error));
    EXPECT_FALSE(transport.setLoop(100.0, 120.0, error)); // wholly past the end: empty
    EXPECT_NE(error.find("empty"), std::string::npos) << error;
    EXPECT_EQ(transport.loop().to, 96.0);
}

// A timeline saved shorter for a moment bounds playback, not the loop: restored, the loop
// is where the user put it.
TEST_F(TransportOnFakeMusic, AShorterShowForAMomentLeavesTheLoopWhereItWas)
{
    Transport& transport = showOf(3584.0);
    ASSERT_TRUE(transport.setLoop(3000.0, 3100.0, error));
    transport.setEndRow(2000.0);
    music.advance(1.0);
    EXPECT_EQ(transport.update(), 2000.0); // past the end: stopped there
    transport.setEndRow(3584.0);
    EXPECT_EQ(transport.loop().from, 3000.0);
    EXPECT_EQ(transport.loop().to, 3100.0);
    transport.play();
    transport.seek(3050.0);
    music.advance(60.0);
    EXPECT_EQ(transport.update(), 3010.0);

    // A loop reaching past a shorter end loops up to the end.
    transport.setEndRow(3080.0);
    music.advance(75.0);
    EXPECT_EQ(transport.update(), 3005.0);
}

// Pausing (or pausing and playing again) in the frame whose row crossed the loop's end
// must not let playback escape the loop.
TEST_F(TransportOnFakeMusic, APauseInTheFrameThatCrossedTheLoopsEndStaysInTheLoop)
{
    Transport& transport = showOf(3584.0);
    ASSERT_TRUE(transport.setLoop(0.0, 40.0, error));
    for (int i = 0; i < 16; ++i) {
        music.advance(11.0);
        transport.pause();
        transport.update();
        transport.play();
        EXPECT_LT(transport.update(), 40.0) << i;
    }
    music.advance(39.5);
    transport.togglePause();
    transport.togglePause();
    EXPECT_LT(transport.update(), 40.0);
}

// Play at the show's end starts again instead of answering "playing" and staying put.
TEST_F(TransportOnFakeMusic, PlayAtTheShowsEndStartsFromTheLoopOrTheTop)
{
    Transport& transport = showOf(1000.0);
    playThroughTheEnd(music, transport, 1000.0);
    transport.play();
    EXPECT_FALSE(transport.paused());
    EXPECT_EQ(music.position, 0.0);
    music.advance(1.0);
    EXPECT_EQ(transport.update(), 1.0);

    ASSERT_TRUE(transport.setLoop(960.0, 1200.0, error)); // reaches past the end
    transport.seek(1000.0);
    transport.pause();
    transport.play();
    EXPECT_EQ(music.position, 960.0);
}

TEST_F(TransportOnFakeMusic, LoopMarksTakeTheCurrentBarAndNeverLeaveAnEmptyLoop)
{
    Transport& transport = showOf(3584.0);
    transport.seek(100.0); // bar 3: rows 96 to 128
    transport.markLoopStart();
    EXPECT_EQ(transport.loop().from, 96.0);
    EXPECT_EQ(transport.loop().to, 128.0); // the old end (32) was before the start
    transport.seek(200.0);
    transport.markLoopEnd();
    EXPECT_EQ(transport.loop().to, 224.0);
    transport.seek(10.0);
    transport.markLoopEnd(); // before the start: the start moves back a bar
    EXPECT_EQ(transport.loop().from, 0.0);
    EXPECT_EQ(transport.loop().to, 32.0);
    EXPECT_FALSE(transport.loop().on);
    transport.toggleLoop();
    EXPECT_TRUE(transport.loop().on);
}

TEST(Transport, BarBeatAndTimeAreCountedFromOne)
{
    EXPECT_EQ(barBeat(0.0), "1.1");
    EXPECT_EQ(barBeat(40.0), "2.2");
    EXPECT_EQ(barBeat(31.99), "1.4");
    EXPECT_EQ(barBeat(3583.9996), "113.1");
    EXPECT_EQ(clockTime(0.0), "0:00.000");
    EXPECT_EQ(clockTime(1234.5), "1:01.725");
    EXPECT_EQ(clockTime(1199.99999), "1:00.000");
}

// The show's end from the show's own timeline: "e" drops at row 3584, where the music ends.
TEST(Transport, TheShowEndsWhereItsEndTrackDropsOrItsMusicEnds)
{
    Timeline timeline;
    std::vector<std::string> errors;
    ASSERT_TRUE(loadTimeline(std::string(VANTOR_DATA) + "/timeline.txt", timeline, errors)) << errors[0];
    testsupport::ScratchDir folder;
    std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    testsupport::CapturedOutput captured;
    const TrackHandle e = sync->getTrack("e");
    captured.take();
    EXPECT_EQ(showEnd(e, 5000.0), 5000.0); // no keys yet: the music's end
    ASSERT_TRUE(sync->replaceKeys(timeline));
    EXPECT_EQ(showEnd(e, 5000.0), 3584.0);
    EXPECT_EQ(showEnd(e, 3000.5), 3000.5);
}

// The transport on the music itself: each move lands on its sample, and a loop's wrap
// takes the stream back with the row.
class TransportMusicTest : public audiotest::AudioFixture {};

TEST_F(TransportMusicTest, SeeksAndLoopsMoveTheMusicToTheSample)
{
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, audiotest::tune(12.0).path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(stream, 0u);
    BassTimer timer(stream, static_cast<float>(showtime::beatsPerMinute), showtime::rowsPerBeat);
    BassMusicClock music(timer);
    timer.play();
    Transport transport(music, 200.0);
    // Positions are whole samples: a seek rounds to the nearest, a reading truncates.
    const double rowsPerSample = 2.0 * showtime::rowsPerSecond / 44100.0;

    transport.seek(100.0);
    EXPECT_NEAR(transport.update(), 100.0, rowsPerSample);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), QWORD(5 * 44100 * 4));
    clock.advance(0.5);
    EXPECT_NEAR(transport.update(), 110.0, rowsPerSample);

    transport.pause();
    clock.advance(3.0);
    EXPECT_NEAR(transport.update(), 110.0, rowsPerSample);
    transport.play();

    std::string error;
    ASSERT_TRUE(transport.setLoop(96.0, 128.0, error));
    clock.advance(1.0 + 0.0125); // row 130.25: 2.25 rows past the loop's end
    EXPECT_NEAR(transport.update(), 98.25, rowsPerSample);
    EXPECT_NEAR(timer.getRow(), 98.25, rowsPerSample);
    clock.advance(0.05);
    EXPECT_NEAR(transport.update(), 99.25, rowsPerSample);

    // The music plays to the end of a show that ends before it, and holds there.
    transport.loopOff();
    transport.seek(195.0);
    clock.advance(1.0);
    EXPECT_EQ(transport.update(), 200.0);
    clock.advance(1.0);
    EXPECT_NEAR(transport.update(), 200.0, rowsPerSample);
    EXPECT_NE(BASS_ChannelIsActive(stream), BASS_ACTIVE_PLAYING);
    BASS_StreamFree(stream);
}

} // namespace
} // namespace studio
