// A show whose music ends before its end track drops says so before it starts (where the
// end track drops is tested with the show's time).
#include <gtest/gtest.h>

#include <sstream>

#include "runtime/FrameLoop.h"
#include "support/KeyedTrack.h"

namespace {

using Track = testsupport::KeyedTrack;

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
