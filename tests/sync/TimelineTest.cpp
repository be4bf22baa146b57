// The timeline text: what it accepts, every error it must catch with file and line, and
// that its tracks survive the trip through the writer and the reader.
#include "TrackFiles.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "sync/Timeline.h"
#include "sync/TrackEval.h"
#include "sync/TrackReader.h"
#include "sync/TrackWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include <cstdlib>
#include <string>
#include <vector>

using namespace synctest;

namespace {

std::vector<std::string> errorsOf(const std::string& text)
{
    Timeline timeline;
    std::vector<std::string> errors;
    EXPECT_FALSE(parseTimeline(text, "show.txt", timeline, errors));
    return errors;
}

TEST(Timeline, ParsesTracksKeysAndComments)
{
    const std::string text = "# the show\r\n"
                             "track camX   # camera\r\n"
                             "0     0.0   linear\r\n"
                             "\r\n"
                             "  64 10.5 smooth # trailing\n"
                             "track e\n"
                             "-20 +2 step\n"
                             "3600 -1e-3 quadratic\n"
                             "track empty\n";
    Timeline timeline;
    std::vector<std::string> errors;
    ASSERT_TRUE(parseTimeline(text, "show.txt", timeline, errors)) << (errors.empty() ? "" : errors[0]);
    ASSERT_EQ(timeline.tracks.size(), 3u);
    const TimelineTrack& cam = timeline.tracks[0];
    EXPECT_EQ(cam.name, "camX");
    EXPECT_EQ(cam.line, 2);
    ASSERT_EQ(cam.keys.size(), 2u);
    EXPECT_EQ(cam.keys[1].row, 64);
    EXPECT_EQ(cam.keys[1].value, 10.5f);
    EXPECT_EQ(cam.keys[1].type, Smooth);
    const TimelineTrack& e = timeline.tracks[1];
    ASSERT_EQ(e.keys.size(), 2u);
    EXPECT_EQ(e.keys[0].row, -20);
    EXPECT_EQ(e.keys[0].type, Step);
    EXPECT_EQ(e.keys[1].value, -1e-3f);
    EXPECT_EQ(e.keys[1].type, Quadratic);
    EXPECT_TRUE(timeline.tracks[2].keys.empty());
}

TEST(Timeline, AByteOrderMarkAtTheStartIsNoPartOfTheFirstLine)
{
    // The show's own timeline, and a small one with Windows line ends, as Notepad saves
    // them: with the mark they give exactly what they give without it.
    const std::string show = testsupport::readFile(std::string(VANTOR_DATA) + "/timeline.txt");
    ASSERT_FALSE(show.empty());
    for (const std::string& text : {show, std::string("track e\r\n0 2 step\r\n400 0 step\r\n")}) {
        Timeline plain;
        Timeline marked;
        std::vector<std::string> errors;
        ASSERT_TRUE(parseTimeline(text, "show.txt", plain, errors));
        ASSERT_TRUE(parseTimeline("\xEF\xBB\xBF" + text, "show.txt", marked, errors)) << errors.front();
        ASSERT_EQ(marked.tracks.size(), plain.tracks.size());
        for (size_t i = 0; i < plain.tracks.size(); ++i) {
            EXPECT_EQ(marked.tracks[i].name, plain.tracks[i].name);
            EXPECT_EQ(marked.tracks[i].line, plain.tracks[i].line);
            EXPECT_EQ(marked.tracks[i].keys.size(), plain.tracks[i].keys.size()) << plain.tracks[i].name;
        }
    }
    // Only at the start: anywhere else the bytes are what they always were, a mistake.
    EXPECT_FALSE(errorsOf("track e\n\xEF\xBB\xBF" "0 2 step\n").empty());
}

TEST(Timeline, EachMistakeIsReportedWithItsLine)
{
    const std::vector<std::string> errors = errorsOf("0 1 step\n"                 // 1: no track yet
                                                     "track a\n"                  // 2
                                                     "10 1 linear\n"              // 3
                                                     "10 2 linear\n"              // 4: row repeats
                                                     "5 2 linear\n"               // 5: row goes back
                                                     "x 1 step\n"                 // 6: bad row
                                                     "20 one step\n"              // 7: bad value
                                                     "30 1 cubic\n"               // 8: unknown interpolation
                                                     "40 1\n"                     // 9: missing field
                                                     "track a\n"                  // 10: duplicate
                                                     "track\n"                    // 11: no name
                                                     "track ../evil\n"            // 12: not a file name
                                                     "50 nan step\n"              // 13: not finite
                                                     "3000000000 1 step\n"        // 14: beyond int32
                                                     "60 1e39 step\n");           // 15: beyond float
    const std::vector<std::string> expected = {
        "show.txt:1: key outside a track (start one with 'track NAME')",
        "show.txt:4: row 10 does not follow row 10 (rows must ascend)",
        "show.txt:5: row 5 does not follow row 10 (rows must ascend)",
        "show.txt:6: bad row 'x' (a whole number of rows)",
        "show.txt:7: bad value 'one' (a finite decimal number)",
        "show.txt:8: unknown interpolation 'cubic' (step, linear, smooth or quadratic)",
        "show.txt:9: expected 'ROW VALUE INTERPOLATION'",
        "show.txt:10: track 'a' already defined on line 2",
        "show.txt:11: expected 'track NAME'",
        "show.txt:12: bad track name '../evil' (use letters, digits, '_' and '-')",
        "show.txt:13: bad value 'nan' (a finite decimal number)",
        "show.txt:14: bad row '3000000000' (a whole number of rows)",
        "show.txt:15: bad value '1e39' (a finite decimal number)",
    };
    EXPECT_EQ(errors, expected);
}

TEST(Timeline, TextWithoutTracksIsAnError)
{
    EXPECT_EQ(errorsOf(""), std::vector<std::string>{"show.txt:1: no tracks defined (start one with 'track NAME')"});
    EXPECT_EQ(errorsOf("# only\n# comments\n"),
        std::vector<std::string>{"show.txt:2: no tracks defined (start one with 'track NAME')"});
}

TEST(Timeline, WrittenOutItParsesBackKeyForKeyEvenAtTheEndsOfTheFloatRange)
{
    Timeline first;
    std::vector<std::string> errors;
    ASSERT_TRUE(parseTimeline("track t\n-2147483648 1e-45 linear\n0 -0 smooth\n"
                              "2147483647 3.40282346e38 quadratic\ntrack e\n",
        "t.txt", first, errors))
        << errors.front();
    Timeline second;
    ASSERT_TRUE(parseTimeline(formatTimeline(first), "again.txt", second, errors)) << errors.front();
    ASSERT_EQ(second.tracks.size(), 2u);
    ASSERT_EQ(second.tracks[0].keys.size(), 3u);
    EXPECT_EQ(second.tracks[0].keys[2].value, 3.40282347e38f) << "the largest float, written as 3.4028235e+38";
    EXPECT_TRUE(std::signbit(second.tracks[0].keys[1].value)) << "-0 stays -0";
    EXPECT_EQ(second.tracks[0].keys[0].row, INT32_MIN);
    EXPECT_TRUE(second.tracks[1].keys.empty());
}

TEST(Timeline, InterpolationNamesRoundTrip)
{
    for (int32_t type = Step; type <= Quadratic; ++type) {
        int32_t parsed = -1;
        ASSERT_NE(interpolationName(type), nullptr);
        EXPECT_TRUE(interpolationFromName(interpolationName(type), parsed));
        EXPECT_EQ(parsed, type);
    }
    int32_t unused = 0;
    EXPECT_EQ(interpolationName(4), nullptr);
    EXPECT_EQ(interpolationName(-1), nullptr);
    EXPECT_FALSE(interpolationFromName("Linear", unused));
    EXPECT_FALSE(interpolationFromName("", unused));
}

TEST(Timeline, MissingFileIsAnError)
{
    Timeline timeline;
    std::vector<std::string> errors;
    EXPECT_FALSE(loadTimeline("/nonexistent/show.txt", timeline, errors));
    EXPECT_EQ(errors, std::vector<std::string>{"/nonexistent/show.txt:1: cannot open the timeline"});
}

TEST(Timeline, CompiledTracksEvaluateAsWritten)
{
    testsupport::ScratchDir folder;
    const std::string source = folder.write("show.txt",
        "track fade\n0 0 linear\n10 1 smooth\n20 0 step\n30 5 step\n");
    Timeline timeline;
    std::vector<std::string> errors;
    ASSERT_TRUE(loadTimeline(source, timeline, errors));
    const std::string path = folder.file("sync_fade.track");
    ASSERT_TRUE(writeTrackFile(path, timeline.tracks[0].keys));

    SyncTrack track{nullptr, nullptr, 0};
    FILE* log = std::tmpfile();
    ASSERT_EQ(readTrackFile(&track, path.c_str(), log), TrackReadOk);
    std::fclose(log);
    EXPECT_EQ(getTrackValue(&track, 5.0), 0.5f);
    EXPECT_EQ(getTrackValue(&track, 15.0), 0.5f);
    EXPECT_EQ(getTrackValue(&track, 25.0), 0.0f);
    EXPECT_EQ(getTrackValue(&track, 31.0), 5.0f);
    std::free(track.keys);
}

} // namespace
