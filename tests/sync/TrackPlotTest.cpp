// synctool plot as a person uses it: the picture's lanes show each track's curve and
// keys where the rows and values put them, the track files plot as their timeline does,
// the show's own timeline gives a lane per track, and bad input leaves no picture.
#include "TrackFiles.h"
#include "TrackPlot.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "support/Temporaries.h"
#include "sync/Timeline.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace synctest;
using synctool::Rgb;
using synctool::TrackPlot;

namespace {

struct Picture : testsupport::PngPicture {
    Rgb at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return { pixels[i], pixels[i + 1], pixels[i + 2] };
    }
};

Picture readPicture(const std::string& path)
{
    return { testsupport::readPng(path, 3) };
}

int distance(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// Where the lane's curve crosses a column: the row of the pixel nearest the lane's
// colour, or -1 when nothing there is near it.
int curveY(const Picture& picture, int lane, int x)
{
    int best = -1;
    int bestDistance = 60;
    for (int y = TrackPlot::headerHeight + lane * TrackPlot::laneHeight;
         y < TrackPlot::headerHeight + (lane + 1) * TrackPlot::laneHeight; ++y) {
        const int d = distance(picture.at(x, y), TrackPlot::curveColour(lane));
        if (d < bestDistance) {
            best = y;
            bestDistance = d;
        }
    }
    return best;
}

bool hasKeyMarker(const Picture& picture, int lane, int x)
{
    for (int y = TrackPlot::headerHeight + lane * TrackPlot::laneHeight;
         y < TrackPlot::headerHeight + (lane + 1) * TrackPlot::laneHeight; ++y)
        if (picture.at(x, y) == TrackPlot::keyColour)
            return true;
    return false;
}

// The column of a row when the plot spans rows 0 to 32, worked out from the layout's
// stated proportions rather than by the plot's own code.
int columnOfRow(double row)
{
    const int column = static_cast<int>(row / 32.0 * TrackPlot::plotWidth);
    return TrackPlot::labelWidth + std::min(column, TrackPlot::plotWidth - 1);
}

// The curve's highest and lowest rows in a lane, from the layout's padding.
int laneHigh(int lane) { return TrackPlot::headerHeight + lane * TrackPlot::laneHeight + TrackPlot::lanePadding; }
int laneLow(int lane) { return laneHigh(lane) + TrackPlot::laneHeight - 2 * TrackPlot::lanePadding - 1; }

const char* const twoTracks = "track steps\n0 1 step\n16 0 step\n32 1 step\n"
                              "track ramp\n0 0 linear\n32 10 linear\n";

TEST(TrackPlot, LanesShowCurvesAndKeysWhereTheirRowsAndValuesAre)
{
    testsupport::ScratchDir folder;
    const std::string out = folder.file("plot.png");
    const ToolRun run = runTool(folder, "plot " + quoted(folder.write("t.txt", twoTracks)) + " --out " + quoted(out));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    const Picture picture = readPicture(out);
    ASSERT_EQ(picture.width, TrackPlot::labelWidth + TrackPlot::plotWidth + TrackPlot::rightMargin);
    ASSERT_EQ(picture.height, TrackPlot::headerHeight + 2 * TrackPlot::laneHeight + TrackPlot::footerHeight);

    // The step track holds its greatest value until row 16 and its least after.
    EXPECT_NEAR(curveY(picture, 0, columnOfRow(8)), laneHigh(0), 1);
    EXPECT_NEAR(curveY(picture, 0, columnOfRow(15.5)), laneHigh(0), 1);
    EXPECT_NEAR(curveY(picture, 0, columnOfRow(16.5)), laneLow(0), 1);
    EXPECT_NEAR(curveY(picture, 0, columnOfRow(24)), laneLow(0), 1);
    // The ramp climbs a quarter of its lane every 8 rows.
    for (const double row : { 8.0, 16.0, 24.0 })
        EXPECT_NEAR(curveY(picture, 1, columnOfRow(row)), laneLow(1) + (laneHigh(1) - laneLow(1)) * row / 32.0, 1.5)
            << "row " << row;

    for (const double row : { 0.0, 16.0, 32.0 })
        EXPECT_TRUE(hasKeyMarker(picture, 0, columnOfRow(row))) << "key at row " << row;
    for (const double row : { 0.0, 32.0 })
        EXPECT_TRUE(hasKeyMarker(picture, 1, columnOfRow(row))) << "key at row " << row;
    for (const double row : { 8.0, 24.0 }) {
        EXPECT_FALSE(hasKeyMarker(picture, 0, columnOfRow(row))) << "no key at row " << row;
        EXPECT_FALSE(hasKeyMarker(picture, 1, columnOfRow(16.0))) << "the ramp has no key at row 16";
    }

    // The margin carries each lane's name and range as text: light ink on the lane.
    for (int lane = 0; lane < 2; ++lane) {
        int ink = 0;
        for (int y = laneHigh(lane) - TrackPlot::lanePadding; y < laneLow(lane) + TrackPlot::lanePadding; ++y)
            for (int x = 0; x < TrackPlot::labelWidth; ++x)
                ink += distance(picture.at(x, y), picture.at(0, y)) > 120;
        EXPECT_GT(ink, 100) << "lane " << lane;
    }
}

TEST(TrackPlot, TrackFilesPlotAsTheirTimelineDoesOverTheRowsAsked)
{
    testsupport::ScratchDir folder;
    const std::string source = folder.write("t.txt", twoTracks);
    const std::string base = folder.file("sync");
    ASSERT_EQ(runTool(folder, "build " + quoted(source) + " " + quoted(base)).status, 0);
    const std::string fromText = folder.file("text.png");
    const std::string fromFiles = folder.file("files.png");
    const std::string rows = " --rows 8:24 --tracks ramp,steps";
    ASSERT_EQ(runTool(folder, "plot " + quoted(source) + " --out " + quoted(fromText) + rows).status, 0);
    const ToolRun run = runTool(folder, "plot " + quoted(base) + " --out " + quoted(fromFiles) + rows);
    ASSERT_EQ(run.status, 0) << run.err;

    const Picture text = readPicture(fromText);
    const Picture files = readPicture(fromFiles);
    ASSERT_EQ(text.width, files.width);
    ASSERT_EQ(text.height, files.height);
    // The title names the source; everything under the header is the same picture.
    const std::size_t header = static_cast<std::size_t>(TrackPlot::headerHeight) * text.width * 3;
    EXPECT_TRUE(std::equal(text.pixels.begin() + header, text.pixels.end(), files.pixels.begin() + header));
    // Lanes in the order asked: the ramp first, and rows 8 to 24 fill the plot, so the
    // step's key at row 16 sits half-way.
    EXPECT_NEAR(curveY(files, 0, TrackPlot::labelWidth), laneLow(0), 1);
    EXPECT_NEAR(curveY(files, 0, TrackPlot::labelWidth + TrackPlot::plotWidth - 1), laneHigh(0), 1);
    EXPECT_TRUE(hasKeyMarker(files, 1, TrackPlot::labelWidth + TrackPlot::plotWidth / 2));
    EXPECT_FALSE(hasKeyMarker(files, 1, TrackPlot::labelWidth + TrackPlot::plotWidth / 4));
}

TEST(TrackPlot, BadInputGetsOneLineAndNoPicture)
{
    testsupport::ScratchDir folder;
    const std::string source = quoted(folder.write("t.txt", twoTracks));
    const std::string out = folder.file("plot.png");
    Bytes cut;
    putInt32(cut, 3);
    putKey(cut, 0, 1.0f, 0);
    folder.write("broken_a.track", cut);
    const struct {
        std::string arguments;
        int status;
    } cases[] = {
        { source + " --out " + quoted(out) + " --tracks steps,nope", 1 },
        { source + " --out " + quoted(out) + " --tracks ''", 1 },
        { source + " --out " + quoted(out) + " --rows 16:16", 1 },
        { source + " --out " + quoted(out) + " --rows 0:x", 1 },
        { source + " --out " + quoted(out) + " --rows 40", 1 },
        { source + " --out " + quoted(out) + " --rows", 1 },
        { source + " --tracks steps", 1 },
        { quoted(folder.file("absent")) + " --out " + quoted(out), 1 },
        { quoted(folder.write("bad.txt", "track a\n0 1 steep\n")) + " --out " + quoted(out), 1 },
        { quoted(folder.file("broken")) + " --out " + quoted(out), 2 },
        { source + " --out " + quoted(folder.file("no/folder/plot.png")), 1 },
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(folder, "plot " + c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
        EXPECT_FALSE(run.err.empty()) << c.arguments;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.arguments;
        EXPECT_TRUE(testsupport::temporariesBeside(out).empty()) << c.arguments;
    }
}

// Asked for what it cannot honour, the plot says so instead of writing a PNG under another
// name, drawing a lane twice, or calling a missing file by another name.
TEST(TrackPlot, WrongOutputNamesRepeatedTracksAndMissingFilesAreRefusedByName)
{
    testsupport::ScratchDir folder;
    const std::string source = quoted(folder.write("t.txt", twoTracks));
    const struct {
        std::string arguments;
        std::string said;
        std::string unwritten;
    } cases[] = {
        { source + " --out " + quoted(folder.file("x.jpg")), "must end in .png", folder.file("x.jpg") },
        { source + " --out " + quoted(folder.file("x")), "must end in .png", folder.file("x") },
        { source + " --out " + quoted(folder.file("p.png")) + " --tracks steps,steps", "'steps' twice",
            folder.file("p.png") },
        { quoted(folder.file("absent.txt")) + " --out " + quoted(folder.file("p.png")), "not found",
            folder.file("p.png") },
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(folder, "plot " + c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(c.unwritten)) << c.arguments;
    }
}

TEST(TrackPlot, BarsAreCountedFromOne)
{
    EXPECT_EQ(TrackPlot::barLabel(0.0), "1");
    EXPECT_EQ(TrackPlot::barLabel(31.9), "1");
    EXPECT_EQ(TrackPlot::barLabel(512.0), "17");
    EXPECT_EQ(TrackPlot::barLabel(640.0), "21"); // the studio's bar 21.1
}

TEST(TrackPlot, TheShowsTimelineAndTracksPlotALaneForEveryTrack)
{
    Timeline show;
    std::vector<std::string> errors;
    const std::string timeline = std::string(VANTOR_DATA) + "/timeline.txt";
    ASSERT_TRUE(loadTimeline(timeline, show, errors)) << errors.front();
    testsupport::ScratchDir folder;
    const std::string out = folder.file("show.png");
    for (const std::string& source : { timeline, std::string(VANTOR_DATA) + "/science/sync" }) {
        const ToolRun run = runTool(folder, "plot " + quoted(source) + " --out " + quoted(out));
        ASSERT_EQ(run.status, 0) << run.err;
        const Picture picture = readPicture(out);
        const int lanes = static_cast<int>(show.tracks.size());
        EXPECT_EQ(picture.width, TrackPlot::labelWidth + TrackPlot::plotWidth + TrackPlot::rightMargin);
        ASSERT_EQ(picture.height, TrackPlot::headerHeight + lanes * TrackPlot::laneHeight + TrackPlot::footerHeight)
            << source;
        // Every lane holds its curve along the whole plot, but for the columns that key
        // markers cover.
        for (int lane = 0; lane < lanes; ++lane) {
            int drawn = 0;
            for (int x = TrackPlot::labelWidth; x < TrackPlot::labelWidth + TrackPlot::plotWidth; ++x)
                drawn += curveY(picture, lane, x) >= 0;
            EXPECT_GT(drawn, TrackPlot::plotWidth * 9 / 10) << source << " lane " << lane;
        }
    }
}

} // namespace
