// The show's committed timelines against what plays them: every track the scenes open is
// there, and the end track keeps the show running exactly as long as the music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "music/Arrangement.h"
#include "scenes/SceneUnoTracks.h"
#include "support/KeyedTrack.h"
#include "sync/ShowTime.h"
#include "sync/Timeline.h"
#include "sync/TrackEval.h"

namespace {

const TimelineTrack* findTrack(const Timeline& timeline, const std::string& name)
{
    for (const TimelineTrack& track : timeline.tracks)
        if (track.name == name)
            return &track;
    return nullptr;
}

float valueAt(const TimelineTrack& track, double row)
{
    SyncTrack sync{nullptr, const_cast<TrackKey*>(track.keys.data()), static_cast<int>(track.keys.size())};
    return getTrackValue(&sync, row);
}

class ShowTimeline : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::string> errors;
        ASSERT_TRUE(loadTimeline(VANTOR_TIMELINE_PATH, timeline, errors))
            << (errors.empty() ? std::string("unreadable") : errors.front());
    }
    Timeline timeline;
};

TEST_F(ShowTimeline, HoldsEveryTrackTheScenesOpen)
{
    const char* motionScene[] = {"ulko", "sisa", "addconst", "sigma", "thetamax", "scalemax"};
    for (const char* name : OrvelDemo::unoTrackNames)
        EXPECT_NE(findTrack(timeline, name), nullptr) << name;
    EXPECT_NE(findTrack(timeline, "e"), nullptr) << "the show's end track";
    for (const char* name : motionScene)
        EXPECT_NE(findTrack(timeline, name), nullptr) << name;
}

TEST_F(ShowTimeline, EndTrackEndsTheShowWhenTheMusicEnds)
{
    using namespace assetgen::music;
    const double musicRows = showtime::rowAt(static_cast<double>(kTrackFrames) / kSampleRate);
    const TimelineTrack* e = findTrack(timeline, "e");
    ASSERT_NE(e, nullptr);
    for (double row = 0.0; row < musicRows; row += 0.25)
        ASSERT_GT(valueAt(*e, row), 1.0f) << "the show would end early at row " << row;
    EXPECT_LE(valueAt(*e, musicRows), 1.0f);
    EXPECT_LE(valueAt(*e, musicRows + 100.0), 1.0f);
    // The end rule finds the same row from the keys alone.
    const testsupport::KeyedTrack keys(e->keys);
    const showtime::ShowEnd end = showtime::showEnd(keys.handle(), 0.0, musicRows);
    EXPECT_EQ(end.row, musicRows);
    EXPECT_FALSE(end.musicFirst);
}

TEST_F(ShowTimeline, MotionSceneHasItsOwnTracksAndEndsWithTheShow)
{
    // vantor-capture draws the motion-blur scene with these tracks instead of the show's.
    Timeline motion;
    std::vector<std::string> errors;
    ASSERT_TRUE(loadTimeline(VANTOR_MOTION_TIMELINE_PATH, motion, errors))
        << (errors.empty() ? std::string("unreadable") : errors.front());
    for (const char* name : {"ulko", "sisa", "addconst", "sigma", "thetamax", "scalemax"})
        EXPECT_NE(findTrack(motion, name), nullptr) << name;
    const TimelineTrack* showEnd = findTrack(timeline, "e");
    const TimelineTrack* motionEnd = findTrack(motion, "e");
    const TimelineTrack* lift = findTrack(motion, "addconst");
    ASSERT_TRUE(showEnd && motionEnd && lift);
    for (double row = 0.0; row <= 3700.0; row += 0.5) {
        ASSERT_EQ(valueAt(*motionEnd, row), valueAt(*showEnd, row)) << "row " << row;
        // The glow adds "addconst" to every pixel: near 1 the picture is white.
        ASSERT_LE(std::abs(valueAt(*lift, row)), 0.25f) << "row " << row;
    }
}

TEST_F(ShowTimeline, StaysInsideTheAnimationsAndTheFieldOfView)
{
    // The pump jack's keys wrap (and spin back) outside [0, 4094); the truck's outside
    // [-512, 510]; a field of view must stay inside (0, 180) degrees.
    const TimelineTrack* jack = findTrack(timeline, "jaakkoframe");
    const TimelineTrack* truck = findTrack(timeline, "rekkaframe");
    const TimelineTrack* fov = findTrack(timeline, "fov");
    ASSERT_TRUE(jack && truck && fov);
    for (double row = 0.0; row <= 3600.0; row += 0.5) {
        EXPECT_GE(valueAt(*jack, row), 0.0f);
        EXPECT_LT(valueAt(*jack, row), 4094.0f);
        EXPECT_GE(valueAt(*truck, row), -512.0f);
        EXPECT_LE(valueAt(*truck, row), 510.0f);
        EXPECT_GT(valueAt(*fov, row), 10.0f);
        EXPECT_LT(valueAt(*fov, row), 120.0f);
    }
}

TEST_F(ShowTimeline, KeysFallOnBarsOrJustBeforeACut)
{
    // Changes land on bar lines (32 rows) or half bars; a key one row before a bar line
    // holds the last shot's end so a cut does not blend into the next shot.
    for (const TimelineTrack& track : timeline.tracks) {
        if (track.name == "sisa" || track.name == "ulko" || track.name == "thetamax" || track.name == "scalemax")
            continue;
        for (const TrackKey& key : track.keys) {
            const int phase = ((key.row % 32) + 32) % 32;
            EXPECT_TRUE(phase == 0 || phase == 31 || phase == 16) << track.name << " row " << key.row;
        }
    }
}

} // namespace
