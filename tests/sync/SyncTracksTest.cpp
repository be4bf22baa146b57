// The track store behind Sync: each name is read from disk once, names are exact, paths
// of any length work, and handles evaluate the loaded keys.
#include "TrackFiles.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"
#include "sync/Sync.h"
#include "sync/SyncTracks.h"
#include "sync/Timeline.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

using namespace synctest;
using testsupport::CapturedOutput;

namespace {

Bytes trackOf(std::initializer_list<TrackKey> keys)
{
    Bytes bytes;
    putInt32(bytes, static_cast<int32_t>(keys.size()));
    for (const TrackKey& key : keys)
        putKey(bytes, key.row, key.value, static_cast<unsigned char>(key.type));
    return bytes;
}

struct SetDeleter {
    void operator()(SyncTracks* set) const { destroySyncTracks(set); }
};
using SetPtr = std::unique_ptr<SyncTracks, SetDeleter>;

TEST(SyncTracks, NewSetCopiesTheBaseAndHasNoTracks)
{
    char base[] = "./data/science/sync";
    const SetPtr set(createSyncTracks(base));
    ASSERT_NE(set, nullptr);
    base[0] = 'X';
    EXPECT_STREQ(set->basePath, "./data/science/sync");
    EXPECT_EQ(set->trackCount, 0);
    EXPECT_EQ(findTrack(set.get(), "e"), -1);
}

TEST(SyncTracks, AddAndFindKeepInsertionOrder)
{
    const SetPtr set(createSyncTracks("base"));
    EXPECT_EQ(addTrack(set.get(), "a"), 0);
    EXPECT_EQ(addTrack(set.get(), "b"), 1);
    EXPECT_EQ(addTrack(set.get(), "a"), 2);
    EXPECT_EQ(set->trackCount, 3);
    EXPECT_EQ(findTrack(set.get(), "a"), 0);
    EXPECT_EQ(findTrack(set.get(), "b"), 1);
    EXPECT_EQ(findTrack(set.get(), "B"), -1);
    EXPECT_EQ(set->tracks[1]->keyCount, 0);
    EXPECT_STREQ(set->tracks[1]->name, "b");
}

TEST(SyncTracks, TrackPathJoinsBaseAndName)
{
    EXPECT_STREQ(trackPath("./data/science/sync", "e"), "./data/science/sync_e.track");
    const std::string longName(5000, 'n');
    EXPECT_EQ(std::string(trackPath("base", longName.c_str())), "base_" + longName + ".track");
    EXPECT_STREQ(trackPath("b", "camX"), "b_camX.track");
}

TEST(SyncTracks, SameNameIsReadOnceAndShared)
{
    testsupport::ScratchDir folder;
    folder.write("sync_cam.track", trackOf({{0, 1.0f, Step}}));
    const std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    ASSERT_NE(sync, nullptr);

    CapturedOutput captured;
    const TrackHandle first = sync->getTrack("cam");
    const TrackHandle second = sync->getTrack("cam");
    const TrackHandle missing = sync->getTrack("nope");
    const TrackHandle missingAgain = sync->getTrack("nope");
    const std::string out = captured.take();

    EXPECT_EQ(first.getTrack(), second.getTrack());
    EXPECT_EQ(missing.getTrack(), missingAgain.getTrack());
    EXPECT_NE(missing.getTrack(), nullptr);
    EXPECT_EQ(out, "SYNC TRACK FOUnD\nSYNC TRACK " + folder.file("sync_nope.track") + " NOT FOUND\n");
    EXPECT_EQ(first.getValue(5.0), 1.0f);
    EXPECT_EQ(missing.getValue(5.0), 0.0f);
}

TEST(SyncTracks, MissingTrackStaysEmptyEvenIfItsFileAppearsLater)
{
    testsupport::ScratchDir folder;
    const std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    CapturedOutput captured;
    const TrackHandle before = sync->getTrack("late");
    folder.write("sync_late.track", trackOf({{0, 3.0f, Step}}));
    const TrackHandle after = sync->getTrack("late");
    captured.take();
    EXPECT_EQ(before.getTrack(), after.getTrack());
    EXPECT_EQ(after.getValue(0.0), 0.0f);
}

TEST(SyncTracks, NamesDifferingInCaseAreDifferentFiles)
{
    testsupport::ScratchDir folder;
    folder.write("sync_camX.track", trackOf({{0, 1.0f, Step}}));
    folder.write("sync_camx.track", trackOf({{0, 2.0f, Step}}));
    const std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    CapturedOutput captured;
    const TrackHandle upper = sync->getTrack("camX");
    const TrackHandle lower = sync->getTrack("camx");
    captured.take();
    EXPECT_NE(upper.getTrack(), lower.getTrack());
    EXPECT_EQ(upper.getValue(0.0), 1.0f);
    EXPECT_EQ(lower.getValue(0.0), 2.0f);
}

TEST(SyncTracks, PathsLongerThan260CharactersStillLoad)
{
    testsupport::ScratchDir folder;
    // Each path component stays under the file system's 255-byte limit; the whole path
    // is well past 260 characters.
    const std::filesystem::path deep = folder.path() / std::string(120, 'd') / std::string(120, 'e');
    std::filesystem::create_directories(deep);
    const std::string name(100, 'n');
    const std::string base = (deep / "sync").string();
    ASSERT_GT(base.size() + name.size(), 260u);
    {
        std::ofstream file(base + "_" + name + ".track", std::ios::binary);
        const Bytes bytes = trackOf({{0, 4.0f, Step}});
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const std::unique_ptr<Sync> sync(Sync::create(base, nullptr));
    CapturedOutput captured;
    const TrackHandle track = sync->getTrack(name);
    EXPECT_EQ(captured.take(), "SYNC TRACK FOUnD\n");
    EXPECT_EQ(track.getValue(10.0), 4.0f);
}

TEST(SyncTracks, NameTooLongForTheFileSystemIsNotFound)
{
    testsupport::ScratchDir folder;
    const std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    const std::string name(5000, 'x');
    CapturedOutput captured;
    const TrackHandle track = sync->getTrack(name);
    const std::string out = captured.take();
    EXPECT_EQ(out, "SYNC TRACK " + folder.file("sync") + "_" + name + ".track NOT FOUND\n");
    EXPECT_EQ(track.getValue(1.0), 0.0f);
}

TEST(SyncTracks, DamagedTrackStillServesItsIntactKeys)
{
    testsupport::ScratchDir folder;
    Bytes bytes = trackOf({{0, 0.0f, Linear}, {10, 10.0f, Step}});
    bytes[0] = 200; // claims 200 keys
    folder.write("sync_bad.track", bytes);
    const std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    CapturedOutput captured;
    const TrackHandle track = sync->getTrack("bad");
    const std::string out = captured.take();
    EXPECT_NE(out.find("file ends after 2 of 200 keys"), std::string::npos) << out;
    EXPECT_EQ(track.getValue(5.0), 5.0f);
}

TEST(SyncTracks, UpdateNeverStopsTheShow)
{
    const std::unique_ptr<Sync> sync(Sync::create("unused", nullptr));
    for (const double row : {-1.0, 0.0, 1e9})
        EXPECT_TRUE(sync->update(row));
}

// A timeline recompiled while the show runs: the handles the scenes took at start-up read
// the new keys, a track the timeline dropped reads 0 like a missing file, and a track it
// added is served from memory without looking for a file.
TEST(SyncTracks, ReplacedKeysReachTheHandlesAlreadyHeld)
{
    testsupport::ScratchDir folder;
    folder.write("sync_cam.track", trackOf({{0, 1.0f, Step}}));
    folder.write("sync_gone.track", trackOf({{0, 7.0f, Step}}));
    folder.write("sync_fresh.track", trackOf({{0, -1.0f, Step}}));
    const std::unique_ptr<Sync> sync(Sync::create(folder.file("sync"), nullptr));
    testsupport::CapturedOutput quiet; // the SYNC TRACK lines
    const TrackHandle cam = sync->getTrack("cam");
    const TrackHandle gone = sync->getTrack("gone");
    quiet.take();
    ASSERT_EQ(cam.getValue(10.0), 1.0f);
    const SyncTrack* camTrack = cam.getTrack();

    Timeline timeline;
    std::vector<std::string> errors;
    ASSERT_TRUE(parseTimeline("track cam\n0 0 linear\n20 4 step\ntrack fresh\n0 9 step\n", "t.txt",
        timeline, errors));
    ASSERT_TRUE(sync->replaceKeys(timeline));

    EXPECT_EQ(cam.getTrack(), camTrack);
    EXPECT_EQ(cam.getValue(10.0), 2.0f);
    EXPECT_EQ(cam.getValue(30.0), 4.0f);
    EXPECT_EQ(gone.getValue(0.0), 0.0f);
    EXPECT_EQ(gone.getTrack()->keyCount, 0);
    testsupport::CapturedOutput captured;
    const TrackHandle fresh = sync->getTrack("fresh");
    EXPECT_EQ(captured.take(), "");
    EXPECT_EQ(fresh.getValue(0.0), 9.0f);

    // A second round replaces the first round's keys, the added track's included.
    ASSERT_TRUE(parseTimeline("track fresh\n0 3 step\ntrack gone\n5 6 step\n", "t.txt", timeline, errors));
    ASSERT_TRUE(sync->replaceKeys(timeline));
    EXPECT_EQ(fresh.getValue(0.0), 3.0f);
    EXPECT_EQ(gone.getValue(0.0), 6.0f);
    EXPECT_EQ(cam.getValue(10.0), 0.0f);
    EXPECT_EQ(cam.getTrack(), camTrack);
}

} // namespace
