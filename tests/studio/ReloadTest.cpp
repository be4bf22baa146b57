// Timeline reloads (in place, keep-last-good, the fixed report lines), the board that keeps
// an error on show until it is fixed, the overlay's text, and the file watcher by both of
// its methods.
#include <gtest/gtest.h>

#include "support/CapturedOutput.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "scenes/SceneUnoTracks.h"
#include "studio/FileWatcher.h"
#include "studio/OverlayText.h"
#include "studio/TimelineReloader.h"
#include "support/ScratchDir.h"
#include "sync/Sync.h"

namespace studio {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

std::unique_ptr<Sync> quietSync(const std::string& base)
{
    return std::unique_ptr<Sync>(Sync::create(base, nullptr));
}

TrackHandle quietTrack(Sync& sync, const std::string& name)
{
    testsupport::CapturedOutput captured;
    const TrackHandle handle = sync.getTrack(name);
    captured.take();
    return handle;
}

TEST(TimelineReloader, ABrokenTimelineChangesNothingAndSaysWhereUntilFixed)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.write("timeline.txt", "track cam\n0 1 step\n");
    auto sync = quietSync(folder.file("sync"));
    const TrackHandle cam = quietTrack(*sync, "cam");
    TimelineReloader reloader(sync.get(), path);
    ReloadBoard board;

    ReloadResult result = reloader.reload();
    board.record(result);
    EXPECT_EQ(result.line(), "reload timeline ok 1 tracks");
    EXPECT_EQ(cam.getValue(0.0), 1.0f);

    folder.write("timeline.txt", "track cam\n0 2 step\ntrack e\n0 9 step\n16 x step\n32 1 bogus\n");
    result = reloader.reload();
    board.record(result);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line(), "reload timeline failed " + reloader.path() + ":5: bad value 'x' (a finite decimal number)");
    EXPECT_EQ(result.errors.size(), 2u); // every mistake, for the overlay and standard error
    EXPECT_EQ(cam.getValue(0.0), 1.0f);
    EXPECT_EQ(reloader.lastGood().tracks.size(), 1u);
    ASSERT_EQ(board.failing().size(), 1u);

    // A save that fixes nothing keeps the error standing, with the new mistakes.
    folder.write("timeline.txt", "track cam\n0 two step\n");
    board.record(reloader.reload());
    ASSERT_EQ(board.failing().size(), 1u);
    EXPECT_NE(board.failing()[0].errors[0].find(":2: bad value 'two'"), std::string::npos);

    folder.write("timeline.txt", "track cam\n0 3 step\ntrack e\n0 9 step\n");
    result = reloader.reload();
    board.record(result);
    EXPECT_EQ(result.line(), "reload timeline ok 2 tracks");
    EXPECT_EQ(cam.getValue(0.0), 3.0f);
    EXPECT_TRUE(board.failing().empty());
    EXPECT_TRUE(board.last()->ok);
}

// A reload that repeats the last one still says what it changed; a track the scene reads
// that the timeline no longer has (a rename, say) is named instead of silently reading 0.
TEST(TimelineReloader, AReloadSaysWhatChangedAndWhichReadTracksWentMissing)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.write("timeline.txt", "track camX\n0 1 step\n8 2 step\ntrack e\n0 2 step\n");
    auto sync = quietSync(folder.file("sync"));
    TimelineReloader reloader(sync.get(), path);
    reloader.setReadTracks({"camX", "e"});
    ReloadResult result = reloader.reload();
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_EQ(result.when.size(), 8u); // HH:MM:SS

    result = reloader.reload();
    EXPECT_EQ(result.changes, "nothing changed");
    EXPECT_EQ(result.described(), result.when + " reload timeline ok 2 tracks: nothing changed");

    folder.write("timeline.txt", "track camx\n0 1 step\n8 2 step\ntrack e\n0 2 step\n16 0 step\n");
    result = reloader.reload();
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.changes, "1 key changed in e; tracks added: camx; tracks gone: camX");
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("reads track camX, which " + reloader.path() + " no longer has"), std::string::npos)
        << result.warnings[0];
}

// Compiled in-process, the show's timeline gives the tracks the build compiled into files.
TEST(TimelineReloader, TheShowsTimelineReloadsToTheValuesOfItsCompiledTracks)
{
    const std::string data = VANTOR_DATA;
    auto sync = quietSync(data + "/science/sync");
    std::vector<TrackHandle> handles;
    for (const char* name : OrvelDemo::unoTrackNames)
        handles.push_back(quietTrack(*sync, name));
    handles.push_back(quietTrack(*sync, "e"));
    std::vector<float> before;
    for (const TrackHandle& handle : handles)
        for (double row = 0.0; row < 3600.0; row += 37.25)
            before.push_back(handle.getValue(row));

    TimelineReloader reloader(sync.get(), data + "/timeline.txt");
    const ReloadResult result = reloader.reload();
    ASSERT_TRUE(result.ok) << (result.errors.empty() ? "" : result.errors[0]);
    EXPECT_EQ(result.tracks, static_cast<int>(reloader.lastGood().tracks.size()));
    size_t i = 0;
    for (const TrackHandle& handle : handles)
        for (double row = 0.0; row < 3600.0; row += 37.25, ++i)
            ASSERT_EQ(handle.getValue(row), before[i]) << "row " << row;
}

TEST(ReloadResult, EveryReportIsOneLineInItsFixedForm)
{
    ReloadResult shader{ReloadResult::Kind::Shader, false, "data/shaders/a\nb.fs", 0, {"log"}, {}, {}, {}};
    EXPECT_EQ(shader.line(), "reload shader failed data/shaders/a b.fs");
    shader.ok = true;
    shader.path = "data/shaders/a.fs";
    EXPECT_EQ(shader.line(), "reload shader ok data/shaders/a.fs");
    const ReloadResult timeline{ReloadResult::Kind::Timeline, false, "t.txt", 0, {"t.txt:3: bad\r\nthing"}, {}, {}, {}};
    EXPECT_EQ(timeline.line(), "reload timeline failed t.txt:3: bad  thing");
}

TEST(OverlayText, ErrorsAreShownWholeAndTracksInColumns)
{
    ReloadBoard board;
    const std::string longError = "data/timeline.txt:7: " + std::string(90, 'x');
    board.record(ReloadResult{ReloadResult::Kind::Timeline, false, "data/timeline.txt", 0, {longError}, {}, {}, {}});
    board.record(ReloadResult{ReloadResult::Kind::Shader, false, "data/shaders/a.fs", 0,
        {"a.vs + a.fs:\n0:3(1): error: syntax error\n\n0:9(2): error: undeclared"}, {}, {}, {}});
    OverlayFacts facts;
    facts.row = 1234.5;
    facts.endRow = 3584.0;
    facts.paused = true;
    facts.reloads = &board;
    facts.tracks = {{"camX", -3.5f}, {"camY", 12.0f}, {"fov", 60.0f}};
    const std::vector<OverlayLine> lines = overlayLines(facts, 50);

    std::string all;
    for (const OverlayLine& line : lines) {
        EXPECT_LE(line.text.size(), 50u) << line.text;
        all += line.text;
    }
    EXPECT_EQ(lines[0].text, "row 1234.50  bar 39.3  1:01.725  0.0 ms/frame");
    EXPECT_EQ(lines[1].text.rfind("paused", 0), 0u);
    EXPECT_NE(all.find(longError), std::string::npos); // wrapped, not cut
    EXPECT_NE(all.find("0:9(2): error: undeclared"), std::string::npos);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const OverlayLine& l) { return l.alert; }));
    // Two tracks a line at 50 columns.
    EXPECT_EQ(lines[lines.size() - 2].text, "camX             -3.500 camY             12.000");
    EXPECT_EQ(lines.back().text, "fov              60.000");
}

// However many errors or tracks there are, the panel fits the window: the last line says
// how many more there were.
TEST(OverlayText, LongListsAreCutToTheWindowAndSaySo)
{
    OverlayFacts facts;
    for (int i = 0; i < 2030; ++i) {
        std::string name = "t";
        name += std::to_string(i);
        facts.tracks.emplace_back(name, 0.0f);
    }
    std::vector<OverlayLine> lines = overlayLines(facts, 100);
    const size_t all = lines.size();
    ASSERT_GT(all, 30u);
    limitLines(lines, 30);
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines.back().text, "... " + std::to_string(all - 29) + " more lines (Tab: the track view)");
    std::vector<OverlayLine> few(3);
    limitLines(few, 30);
    EXPECT_EQ(few.size(), 3u);
}

class FileWatcherTest : public testing::TestWithParam<FileWatcher::Method> {
protected:
    testsupport::ScratchDir folder;
};

TEST_P(FileWatcherTest, SavesInPlaceAndByRenameAreReportedOnceUnderEveryName)
{
    const std::string a = folder.write("a.fs", "one");
    const std::string b = folder.write("b.fs", "one");
    folder.write("other.txt", "one");
    FileWatcher watcher(GetParam(), std::chrono::milliseconds(0));
    const std::string aAgain = (folder.path() / "." / "sub" / ".." / "a.fs").string();
    watcher.watch({a, b, aAgain, folder.file("later.fs")});
    EXPECT_EQ(watcher.method(), GetParam());
    EXPECT_TRUE(watcher.changed().empty());

    folder.write("a.fs", "two, longer");
    folder.write("other.txt", "two, longer");
    EXPECT_EQ(watcher.changed(), (std::vector<std::string>{a, aAgain}));
    EXPECT_TRUE(watcher.changed().empty());

    // An editor's save: a new file renamed over the old one.
    folder.write("b.tmp", "three, longer still");
    fs::rename(folder.file("b.tmp"), b);
    folder.write("later.fs", "new");
    EXPECT_EQ(watcher.changed(), (std::vector<std::string>{b, folder.file("later.fs")}));
}

INSTANTIATE_TEST_SUITE_P(BothMethods, FileWatcherTest,
    testing::Values(FileWatcher::Method::Notify, FileWatcher::Method::Poll),
    [](const testing::TestParamInfo<FileWatcher::Method>& info) {
        return info.param == FileWatcher::Method::Notify ? "Notify" : "Poll";
    });

// A change no notification reports (here, a modification time set directly) is found by
// the rescan behind standard input's `reload`.
TEST(FileWatcher, RescanFindsWhatNoNotificationSaid)
{
    testsupport::ScratchDir folder;
    const std::string a = folder.write("a.fs", "one");
    FileWatcher watcher(FileWatcher::Method::Notify);
    watcher.watch({a});
    fs::last_write_time(a, fs::last_write_time(a) - std::chrono::hours(1));
    EXPECT_TRUE(watcher.changed().empty());
    EXPECT_EQ(watcher.rescan(), std::vector<std::string>{a});
    EXPECT_TRUE(watcher.rescan().empty());
}

} // namespace
} // namespace studio
