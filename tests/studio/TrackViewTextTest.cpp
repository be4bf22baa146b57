// The track view's text on the show's own timeline and on many tracks: the current row in
// the middle and highlighted, keys with their letters, bar lines and sections, the cursor's
// column always on screen, and nothing wider or taller than the panel. And the remembered
// start of each scene.
#include <gtest/gtest.h>

#include <algorithm>

#include "studio/StudioMemory.h"
#include "studio/TrackViewText.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace studio {
namespace {

TimelineDocument showDocument()
{
    TimelineDocument doc;
    std::vector<std::string> errors;
    EXPECT_TRUE(doc.load(testsupport::readFile(std::string(VANTOR_DATA) + "/timeline.txt"), "t", errors));
    return doc;
}

TEST(TrackViewText, TheShowsTimelineAroundTheCurrentRow)
{
    const TimelineDocument doc = showDocument();
    TrackViewFacts facts;
    facts.document = &doc;
    facts.names = {"e", "camX", "camY"};
    facts.cursorTrack = 1;
    facts.row = 512.4;
    facts.file = "data/timeline.txt";
    facts.dirty = true;
    TrackViewLayout layout;
    const std::vector<OverlayLine> lines = trackViewLines(facts, 80, 21, &layout);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0].text, "data/timeline.txt * unsaved  row 512  bar 17.1");
    EXPECT_EQ(lines[1].text, "    row|e          >camX       |camY       ");
    EXPECT_EQ(layout.headerLines, 2);
    EXPECT_EQ(layout.rowLines, 19);
    EXPECT_EQ(layout.firstRow, 512 - 9);
    const OverlayLine& current = lines[size_t(layout.headerLines + 9)];
    EXPECT_TRUE(current.highlight);
    EXPECT_TRUE(current.rule); // row 512 starts bar 17
    EXPECT_EQ(current.text, "=   512|           |      -3.5L|       4.2L [build]");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const OverlayLine& l) { return l.highlight; }), 1);
    // Row 511 holds camX's step key, rows after 512 interpolate toward the next key.
    EXPECT_EQ(lines[size_t(layout.headerLines + 8)].text, "    511|           |       -36S|     -17.5S");
    EXPECT_EQ(lines[size_t(layout.headerLines + 10)].text, "    513|           |         . |         . ");
    EXPECT_EQ(lines[size_t(layout.headerLines + 1)].text.substr(0, 7), "-   504"); // a beat
    for (const OverlayLine& line : lines)
        EXPECT_LE(line.text.size(), 80u) << line.text;
}

TEST(TrackViewText, ManyTracksScrollToKeepTheCursorsColumnAndTheBlockIsMarked)
{
    TimelineDocument doc;
    std::vector<std::string> errors;
    std::string text;
    std::vector<std::string> names;
    for (int t = 0; t < 2030; ++t) {
        names.emplace_back("t");
        names.back() += std::to_string(t);
        text += "track " + names.back() + "\n0 " + std::to_string(t) + " smooth\n";
    }
    ASSERT_TRUE(doc.load(text, "many", errors));
    TrackViewFacts facts;
    facts.document = &doc;
    facts.names = names;
    facts.cursorTrack = 1500;
    facts.row = 1.0;
    facts.selecting = true;
    facts.anchorTrack = 1499;
    facts.anchorRow = 0;
    facts.message = std::string(300, 'x');
    TrackViewLayout layout;
    const std::vector<OverlayLine> lines = trackViewLines(facts, 60, 10, &layout);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_LE(layout.firstTrack, 1500);
    EXPECT_GT(layout.firstTrack + layout.trackColumns, 1500);
    EXPECT_NE(lines[2].text.find(">t1500"), std::string::npos) << lines[2].text;
    EXPECT_NE(lines[0].text.find("tracks 1499-1502 of 2030"), std::string::npos) << lines[0].text;
    for (const OverlayLine& line : lines)
        EXPECT_LE(line.text.size(), 60u);
    // Rows 0 and 1 of tracks 1499 and 1500 are in the block.
    const std::string row0 = lines[size_t(layout.headerLines - layout.firstRow)].text;
    EXPECT_EQ(std::count(row0.begin(), row0.end(), '#'), 2) << row0;
    EXPECT_NE(row0.find("1500M"), std::string::npos) << row0;
}

TEST(StudioMemory, EachScenesRowAndLoopComeBackAndDamagedLinesAreSkipped)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.file("state");
    StudioMemory memory(path);
    memory.load(); // no file: nothing remembered
    EXPECT_EQ(memory.find("main"), nullptr);
    memory.remember("main", SceneMemory{640.25, Loop{64.0, 96.0, true}});
    memory.remember("motion", SceneMemory{0.1, Loop{0.0, 32.0, false}});
    std::string why;
    ASSERT_TRUE(memory.store(why)) << why;

    StudioMemory again(path);
    again.load();
    ASSERT_NE(again.find("main"), nullptr);
    EXPECT_EQ(again.find("main")->row, 640.25);
    EXPECT_TRUE(again.find("main")->loop.on);
    EXPECT_EQ(again.find("main")->loop.to, 96.0);
    EXPECT_EQ(again.find("motion")->row, 0.1);
    EXPECT_FALSE(again.find("motion")->loop.on);

    folder.write("state", "main 1 2 3 on\nbad 1 9 3 on\nworse x 1 2 off\nok 5 0 8 maybe\n");
    again.load();
    EXPECT_NE(again.find("main"), nullptr);
    EXPECT_EQ(again.find("bad"), nullptr);   // an empty loop
    EXPECT_EQ(again.find("worse"), nullptr); // not a row
    EXPECT_EQ(again.find("ok"), nullptr);    // neither on nor off
}

} // namespace
} // namespace studio
