// Whether the end track drops within the music, from its keys alone: before the show
// starts, so a show that would outlast its music can say so.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "runtime/FrameLoop.h"
#include "sync/SyncTracks.h"

namespace {

struct Track {
    explicit Track(std::vector<TrackKey> keys) : keys(std::move(keys))
    {
        track.name = nullptr;
        track.keys = this->keys.empty() ? nullptr : this->keys.data();
        track.keyCount = static_cast<int>(this->keys.size());
    }
    TrackHandle handle() const { return TrackHandle(&track); }
    std::vector<TrackKey> keys;
    SyncTrack track;
};

TEST(EndTrackTest, DropsAtAKeyInsideOrAtEitherEndOfTheMusic)
{
    const Track stepDown({{0, 2.0f, Step}, {100, 1.0f, Step}, {150, 3.0f, Step}});
    EXPECT_TRUE(Tarvo::endTrackDropsBy(stepDown.handle(), 120.0)) << "the dip at row 100";
    EXPECT_FALSE(Tarvo::endTrackDropsBy(stepDown.handle(), 99.9));
    const Track ramp({{0, 3.0f, Linear}, {100, 0.0f, Step}});
    EXPECT_TRUE(Tarvo::endTrackDropsBy(ramp.handle(), 67.0)) << "3 - 3 x 0.67 is below 1";
    EXPECT_FALSE(Tarvo::endTrackDropsBy(ramp.handle(), 66.0));
    EXPECT_TRUE(Tarvo::endTrackDropsBy(TrackHandle(), 10.0)) << "no end track: the first frame";
}

TEST(EndTrackTest, SaysSoOnlyWhenTheMusicEndsFirst)
{
    const Track e({{0, 2.0f, Step}, {400, 0.0f, Step}});
    std::ostringstream early;
    Tarvo::warnIfMusicEndsFirst(300.0, e.handle(), early);
    EXPECT_EQ(early.str(),
        "The music ends at row 300, before the end track \"e\" drops to 1.0: the show ends with the music\n");
    std::ostringstream inTime, noMusic;
    Tarvo::warnIfMusicEndsFirst(400.0, e.handle(), inTime);
    Tarvo::warnIfMusicEndsFirst(-1.0, e.handle(), noMusic);
    EXPECT_EQ(inTime.str(), "");
    EXPECT_EQ(noMusic.str(), "");
}

} // namespace
