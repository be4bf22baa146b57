// The section table that the show's timeline follows, and the arrangement around it.
#include <gtest/gtest.h>

#include <string>

#include "music/Arrangement.h"

using namespace assetgen::music;

TEST(MusicArrangement, SectionsTileTheTrackInEightBarUnits)
{
    int next = 0;
    for (const Section& s : kSections) {
        EXPECT_EQ(s.firstBar, next) << s.name;
        EXPECT_GT(s.barCount, 0) << s.name;
        EXPECT_EQ(s.barCount % 8, 0) << s.name;
        next += s.barCount;
    }
    EXPECT_EQ(next, kTotalBars);
    const std::string order[] = {"intro", "build", "main", "break", "climax", "outro"};
    for (size_t i = 0; i < kSections.size(); ++i)
        EXPECT_EQ(kSections[i].name, order[i]);
}

TEST(MusicArrangement, LengthAndRowsFollowTheTempo)
{
    // 150 BPM: a bar of four beats lasts 1.6 s, which the show's 20 rows a second turn
    // into 32 rows.
    EXPECT_EQ(kFramesPerBar, 70560);
    EXPECT_DOUBLE_EQ(double(kFramesPerBar) / kSampleRate * 20.0, double(kRowsPerBar));
    const double seconds = double(kTrackFrames) / kSampleRate;
    EXPECT_GE(seconds, 150.0);
    EXPECT_LE(seconds, 210.0);
    EXPECT_EQ(kTrackFrames, int64_t(kTotalBars) * 4 * kFramesPerBeat);
    EXPECT_LT(kFinalStabBar, kTotalBars);
}

TEST(MusicArrangement, SectionLookup)
{
    EXPECT_EQ(sectionAt(0), 0);
    for (size_t i = 0; i < kSections.size(); ++i) {
        EXPECT_EQ(sectionAt(kSections[i].firstBar), int(i));
        EXPECT_EQ(sectionAt(kSections[i].firstBar + kSections[i].barCount - 1), int(i));
    }
    EXPECT_EQ(sectionAt(-1), -1);
    EXPECT_EQ(sectionAt(kTotalBars), -1);
    EXPECT_EQ(sectionIndex("climax"), 4);
    EXPECT_EQ(sectionIndex("coda"), -1);
}

TEST(MusicArrangement, DescriptionListsBarsAndRows)
{
    const std::string text = describeSections();
    for (const Section& s : kSections)
        EXPECT_NE(text.find(s.name), std::string::npos);
    // The climax runs from bar 64 to 96: rows 2048 to 3072.
    EXPECT_NE(text.find("2048-3072"), std::string::npos) << text;
}

TEST(MusicArrangement, PartsEnterAndLeaveWithTheForm)
{
    const int breakBar = kSections[sectionIndex("break")].firstBar;
    const int climaxBar = kSections[sectionIndex("climax")].firstBar;
    EXPECT_FALSE(plays(levelsAt(0).kick));             // the intro opens without drums
    EXPECT_TRUE(plays(levelsAt(kSections[sectionIndex("main")].firstBar).kick));
    EXPECT_FALSE(plays(levelsAt(breakBar + 1).kick));  // the break drops the kick
    EXPECT_TRUE(plays(levelsAt(climaxBar).kick));
    EXPECT_TRUE(plays(levelsAt(climaxBar).bass));
    EXPECT_FALSE(plays(levelsAt(kFinalStabBar).kick)); // the end is only echoes
    EXPECT_FALSE(plays(levelsAt(kTotalBars).crackle));
    for (double bar = 0.0; bar <= kTotalBars; bar += 0.25) {
        const Levels l = levelsAt(bar);
        ASSERT_GT(l.stabCutoffHz, 100.0f) << bar;
        ASSERT_LT(l.delayFeedback, 0.95f) << bar;
        for (float v : {l.kick, l.hatClosed, l.hatOpen, l.shaker, l.rim, l.stab, l.bass, l.pad, l.crackle, l.riser}) {
            ASSERT_GE(v, 0.0f) << bar;
            ASSERT_LE(v, 1.0f) << bar;
        }
    }
}

TEST(MusicArrangement, ChordsCycleAndStayInRange)
{
    EXPECT_STREQ(chordAt(0).name, "Am9");
    EXPECT_STREQ(chordAt(-5).name, "Am9");
    EXPECT_STREQ(chordAt(kTotalBars + 10).name, "Am9");
    const int cycle = kSections[sectionIndex("main")].firstBar;
    EXPECT_STREQ(chordAt(cycle + 4).name, "Fmaj9");
    EXPECT_STREQ(chordAt(cycle + 6).name, "Dm9");
    EXPECT_STREQ(chordAt(cycle + 8).name, "Am9");
    for (int bar = 0; bar < kTotalBars; ++bar) {
        const Chord& c = chordAt(bar);
        EXPECT_GE(c.bassNote, 28) << bar; // sub bass between 41 and 75 Hz
        EXPECT_LE(c.bassNote, 38) << bar;
    }
}
