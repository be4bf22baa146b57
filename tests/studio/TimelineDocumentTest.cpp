// The studio's timeline document: edits rewrite only the lines of the keys they change,
// in the style the file writes keys, on the show's own timeline as well as small ones;
// undo and redo give back the text byte for byte; blocks copy, cut, paste and move as one
// step each; and input that would make a broken timeline is refused with a reason.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "studio/TimelineDocument.h"
#include "support/ReadFile.h"

namespace studio {
namespace {

std::string showTimeline()
{
    return testsupport::readFile(std::string(VANTOR_DATA) + "/timeline.txt");
}

TimelineDocument loaded(const std::string& text)
{
    TimelineDocument doc;
    std::vector<std::string> errors;
    EXPECT_TRUE(doc.load(text, "t.txt", errors)) << (errors.empty() ? "" : errors[0]);
    return doc;
}

// The document's text compiles to exactly the keys its index holds.
void expectConsistent(const TimelineDocument& doc)
{
    Timeline parsed;
    std::vector<std::string> errors;
    ASSERT_TRUE(parseTimeline(doc.joined(), "t.txt", parsed, errors)) << errors[0] << "\n" << doc.joined();
    const Timeline indexed = doc.timeline();
    ASSERT_EQ(parsed.tracks.size(), indexed.tracks.size());
    for (size_t t = 0; t < parsed.tracks.size(); ++t) {
        EXPECT_EQ(parsed.tracks[t].name, indexed.tracks[t].name);
        ASSERT_EQ(parsed.tracks[t].keys.size(), indexed.tracks[t].keys.size()) << parsed.tracks[t].name;
        for (size_t k = 0; k < parsed.tracks[t].keys.size(); ++k) {
            EXPECT_EQ(parsed.tracks[t].keys[k].row, indexed.tracks[t].keys[k].row);
            EXPECT_EQ(parsed.tracks[t].keys[k].value, indexed.tracks[t].keys[k].value);
            EXPECT_EQ(parsed.tracks[t].keys[k].type, indexed.tracks[t].keys[k].type);
        }
    }
}

std::vector<TrackKey> keysOf(const TimelineDocument& doc, const std::string& name)
{
    std::vector<TrackKey> keys;
    if (const DocumentTrack* track = doc.track(name))
        for (const DocumentKey& key : track->keys)
            keys.push_back(key.key);
    return keys;
}

std::vector<int> rowsOf(const TimelineDocument& doc, const std::string& name)
{
    std::vector<int> rows;
    for (const TrackKey& key : keysOf(doc, name))
        rows.push_back(key.row);
    return rows;
}

TEST(TimelineDocument, EditsOnTheShowsTimelineTouchOnlyTheirLinesInTheFilesStyle)
{
    const std::string original = showTimeline();
    ASSERT_FALSE(original.empty());
    TimelineDocument doc = loaded(original);
    const std::vector<std::string> before = doc.lines();
    std::string why;
    ASSERT_TRUE(doc.setKey("camX", 300, -40.0, -1, why)) << why;  // new, between 256 and 511
    ASSERT_TRUE(doc.setKey("camX", 256, 0.123456, Smooth, why)) << why; // changed
    ASSERT_TRUE(doc.deleteKey("camX", 1280, why)) << why;
    expectConsistent(doc);

    const DocumentTrack* camX = doc.track("camX");
    ASSERT_NE(camX, nullptr);
    const size_t k256 = camX->keys[1].line;
    EXPECT_EQ(doc.lines()[k256], "256      0.123456  smooth\n"); // 4 decimals would round it
    EXPECT_EQ(doc.lines()[k256 + 1], "300      -40.0000  linear\n"); // the type of the key before
    // Every other line as it was, in order.
    std::vector<std::string> untouched;
    for (size_t i = 0; i < doc.lines().size(); ++i)
        if (i != k256 && i != k256 + 1)
            untouched.push_back(doc.lines()[i]);
    std::vector<std::string> expected = before;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i].rfind("1280      -6.0000", 0) == 0) {
            expected.erase(expected.begin() + static_cast<long>(i));
            break;
        }
    expected.erase(expected.begin() + static_cast<long>(k256));
    EXPECT_EQ(untouched, expected);

    EXPECT_TRUE(doc.dirty());
    while (doc.undo()) {
    }
    EXPECT_EQ(doc.joined(), original);
    EXPECT_FALSE(doc.dirty());
}

TEST(TimelineDocument, UndoAndRedoWithoutLimitGiveTheTextBackByteForByte)
{
    const std::string original = "# head\ntrack a\n0 1 step\n\n# tail\n";
    TimelineDocument doc = loaded(original);
    std::string why;
    std::vector<std::string> texts{doc.joined()};
    for (int i = 1; i <= 200; ++i) {
        ASSERT_TRUE(doc.setKey("a", i * 4, i * 0.5, Linear, why)) << why;
        texts.push_back(doc.joined());
    }
    ASSERT_TRUE(doc.cycleInterpolation("a", 0, why));
    texts.push_back(doc.joined());
    for (size_t i = texts.size() - 1; i > 0; --i) {
        ASSERT_TRUE(doc.undo());
        ASSERT_EQ(doc.joined(), texts[i - 1]) << i;
    }
    EXPECT_FALSE(doc.undo());
    for (size_t i = 1; i < texts.size(); ++i) {
        ASSERT_TRUE(doc.redo());
        ASSERT_EQ(doc.joined(), texts[i]);
    }
    EXPECT_FALSE(doc.redo());
    expectConsistent(doc);

    // A new edit after undoing drops what could be redone; a save point it passed is lost.
    doc.markSaved();
    doc.undo();
    ASSERT_TRUE(doc.deleteKey("a", 4, why)) << why;
    EXPECT_FALSE(doc.canRedo());
    EXPECT_TRUE(doc.dirty());
    doc.undo();
    EXPECT_TRUE(doc.dirty()); // the saved text had key 800 too
}

TEST(TimelineDocument, LineEndsAMissingFinalLineEndAndCommentsSurvive)
{
    const std::string original = "track a\r\n0   1.00  step   # start\r\n8   2.00  linear\r\ntrack b\r\n4 1 step";
    TimelineDocument doc = loaded(original);
    std::string why;
    ASSERT_TRUE(doc.setKey("b", 9, 2.0, -1, why));
    ASSERT_TRUE(doc.deleteKey("a", 0, why));
    ASSERT_TRUE(doc.setKey("a", 4, 1.5, -1, why));
    EXPECT_EQ(doc.joined(), "track a\r\n# start\r\n4   1.50  linear\r\n8   2.00  linear\r\ntrack b\r\n4 1 step\r\n9 2 step");
    expectConsistent(doc);
    ASSERT_TRUE(doc.setKey("a", 8, 7.0, Quadratic, why));
    EXPECT_EQ(doc.lines()[3], "8   7.00  quadratic\r\n");
    while (doc.undo()) {
    }
    EXPECT_EQ(doc.joined(), original);
}

TEST(TimelineDocument, AKeyForATrackTheTimelineLacksStartsItAtTheEnd)
{
    TimelineDocument doc = loaded("track e\n0      2.0  step\n");
    std::string why;
    ASSERT_TRUE(doc.setKey("fade", 16, 0.25, -1, why)) << why;
    EXPECT_EQ(doc.joined(), "track e\n0      2.0  step\n\ntrack fade\n16    0.25  linear\n");
    expectConsistent(doc);
    EXPECT_FALSE(doc.setKey("no good", 0, 1.0, -1, why));
    EXPECT_NE(why.find("not a track name"), std::string::npos) << why;
}

struct BadKey {
    const char* what;
    long long row;
    double value;
    int type;
};

class TimelineDocumentRefuses : public testing::TestWithParam<BadKey> {};

TEST_P(TimelineDocumentRefuses, KeysThatWouldBreakTheTimelineAndChangesNothing)
{
    const std::string original = "track a\n0 1 step\n";
    TimelineDocument doc = loaded(original);
    std::string why;
    EXPECT_FALSE(doc.setKey("a", GetParam().row, GetParam().value, GetParam().type, why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(doc.joined(), original);
    EXPECT_FALSE(doc.canUndo());
}

INSTANTIATE_TEST_SUITE_P(Each, TimelineDocumentRefuses,
    testing::Values(BadKey{"row past int32", 1LL << 31, 1.0, -1}, BadKey{"row below int32", -(1LL << 31) - 1, 1.0, -1},
        BadKey{"nan", 0, std::nan(""), -1}, BadKey{"infinite", 0, INFINITY, -1},
        BadKey{"too big for a float", 0, 1e39, -1}, BadKey{"type 4", 0, 1.0, 4}),
    [](const testing::TestParamInfo<BadKey>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(TimelineDocument, DeletingOrCyclingWhereThereIsNoKeySaysSo)
{
    TimelineDocument doc = loaded("track a\n0 1 step\n");
    std::string why;
    EXPECT_FALSE(doc.deleteKey("a", 5, why));
    EXPECT_EQ(why, "no key at row 5 in track a");
    EXPECT_FALSE(doc.deleteKey("zz", 0, why));
    EXPECT_FALSE(doc.cycleInterpolation("a", 1, why));
    ASSERT_TRUE(doc.setKey("a", 0, 1.0, Step, why)); // the same key: no step of history
    EXPECT_FALSE(doc.canUndo());
    for (int expected : {Linear, Smooth, Quadratic, Step}) {
        ASSERT_TRUE(doc.cycleInterpolation("a", 0, why));
        EXPECT_EQ(keysOf(doc, "a")[0].type, expected);
    }
}

TEST(TimelineDocument, BlocksCopyCutPasteAndMoveAsOneStepEach)
{
    TimelineDocument doc = loaded("track a\n0 1 step\n4 2 linear\n8 3 step\n12 4 step\n"
                                  "track b\n2 5 step\n9 6 smooth\n");
    const std::string original = doc.joined();
    std::string why;
    const KeyBlock block = doc.copyBlock({"a", "b"}, 4, 9);
    ASSERT_EQ(block.columns.size(), 2u);
    EXPECT_EQ(block.span, 6);
    ASSERT_EQ(block.columns[0].size(), 2u);
    EXPECT_EQ(block.columns[0][1].row, 4); // row 8, from the block's start
    ASSERT_EQ(block.columns[1].size(), 1u);

    // Pasted at 20: rows 20 to 25 of each track hold the block exactly.
    ASSERT_TRUE(doc.pasteBlock({"a", "b"}, 20, block, why)) << why;
    EXPECT_EQ(rowsOf(doc, "a"), (std::vector<int>{0, 4, 8, 12, 20, 24}));
    EXPECT_EQ(rowsOf(doc, "b"), (std::vector<int>{2, 9, 25}));
    EXPECT_EQ(keysOf(doc, "b")[2].type, Smooth);
    expectConsistent(doc);

    // Cut: the block's keys go; pasting over keys replaces them.
    ASSERT_TRUE(doc.clearBlock({"a", "b"}, 4, 9, why));
    EXPECT_EQ(rowsOf(doc, "a"), (std::vector<int>{0, 12, 20, 24}));
    EXPECT_EQ(rowsOf(doc, "b"), (std::vector<int>{2, 25}));
    ASSERT_TRUE(doc.pasteBlock({"a"}, 10, KeyBlock{{{TrackKey{0, 9.0f, Step}}}, 4}, why));
    EXPECT_EQ(rowsOf(doc, "a"), (std::vector<int>{0, 10, 20, 24})); // 12 was inside 10..13

    // Moving later over a key drops that key; earlier past the start keeps order.
    ASSERT_TRUE(doc.moveBlock({"a"}, 10, 10, 10, why));
    EXPECT_EQ(rowsOf(doc, "a"), (std::vector<int>{0, 20, 24}));
    EXPECT_EQ(keysOf(doc, "a")[1].value, 9.0f);
    ASSERT_TRUE(doc.moveBlock({"a", "b"}, 20, 25, -30, why));
    EXPECT_EQ(rowsOf(doc, "a"), (std::vector<int>{-10, -6, 0}));
    EXPECT_EQ(rowsOf(doc, "b"), (std::vector<int>{-5, 2}));
    expectConsistent(doc);

    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(doc.undo()) << step;
    EXPECT_EQ(doc.joined(), original);
    EXPECT_FALSE(doc.moveBlock({"a"}, 0, 4, std::numeric_limits<int>::max(), why));
}

TEST(TimelineDocument, SectionsAreTheHeadersSectionComments)
{
    const TimelineDocument doc = loaded(showTimeline());
    const std::vector<Section> sections = doc.sections();
    ASSERT_EQ(sections.size(), 6u);
    EXPECT_EQ(sections[0].name, "intro");
    EXPECT_EQ(sections[0].from, 0);
    EXPECT_EQ(sections[0].to, 512);
    EXPECT_EQ(sections[3].name, "break");
    EXPECT_EQ(sections[3].from, 1536);
    EXPECT_EQ(sections[5].name, "outro");
    EXPECT_EQ(sections[5].to, 3584);
    EXPECT_TRUE(loaded("# rows of text\n# x rows 5-a\ntrack a\n0 1 step\n").sections().empty());
}

TEST(TimelineDocument, AReplacedTextIsOneStepAndABrokenOneIsRefused)
{
    TimelineDocument doc = loaded("track a\n0 1 step\n");
    std::vector<std::string> errors;
    EXPECT_FALSE(doc.replaceAll("track a\n0 x step\n", "r.txt", errors));
    EXPECT_EQ(errors.size(), 1u);
    ASSERT_TRUE(doc.replaceAll("track a\n0 2 step\ntrack b\n", "r.txt", errors));
    EXPECT_EQ(doc.tracks().size(), 2u);
    EXPECT_TRUE(doc.undo());
    EXPECT_EQ(doc.joined(), "track a\n0 1 step\n");
}

} // namespace
} // namespace studio
