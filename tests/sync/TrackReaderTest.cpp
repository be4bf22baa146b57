// Track files as the reader meets them: well formed, empty, missing, and damaged in each
// way a file can disagree with its own key count.
#include "TrackFiles.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "sync/TrackReader.h"
#include "sync/TrackWriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace synctest;

namespace {

// Reads path into a fresh track and keeps what the reader said.
struct ReadResult {
    explicit ReadResult(const std::string& path)
    {
        FILE* log = std::tmpfile();
        result = readTrackFile(&track, path.c_str(), log);
        std::rewind(log);
        for (int c; (c = std::fgetc(log)) != EOF;)
            messages += static_cast<char>(c);
        std::fclose(log);
    }
    ~ReadResult() { std::free(track.keys); }

    SyncTrack track{nullptr, nullptr, 0};
    int result = -1;
    std::string messages;
};

Bytes countOnly(int32_t count)
{
    Bytes bytes;
    putInt32(bytes, count);
    return bytes;
}

TEST(TrackReader, ReadsKeysInOrderWithSignExtendedTypes)
{
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(5);
    putKey(bytes, -4, -0.0f, 0x00);
    putKey(bytes, 0, 1.5f, 0x01);
    putKey(bytes, 7, 1e-45f, 0x7f);
    putKey(bytes, 100000, -3.25f, 0x80);
    putKey(bytes, INT_MAX, 2.0f, 0xff);
    const ReadResult read(folder.write("t.track", bytes));
    EXPECT_EQ(read.result, TrackReadOk);
    EXPECT_EQ(read.messages, "SYNC TRACK FOUnD\n");
    ASSERT_EQ(read.track.keyCount, 5);
    const TrackKey* k = read.track.keys;
    EXPECT_EQ(k[0].row, -4);
    EXPECT_TRUE(std::signbit(k[0].value));
    EXPECT_EQ(k[0].type, 0);
    EXPECT_EQ(k[1].row, 0);
    EXPECT_EQ(k[1].value, 1.5f);
    EXPECT_EQ(k[1].type, 1);
    EXPECT_EQ(k[2].value, 1e-45f);
    EXPECT_EQ(k[2].type, 127);
    EXPECT_EQ(k[3].row, 100000);
    EXPECT_EQ(k[3].value, -3.25f);
    EXPECT_EQ(k[3].type, -128);
    EXPECT_EQ(k[4].row, INT_MAX);
    EXPECT_EQ(k[4].type, -1);
}

TEST(TrackReader, ZeroKeysIsAFoundTrackWithoutKeys)
{
    testsupport::ScratchDir folder;
    const ReadResult read(folder.write("zero.track", countOnly(0)));
    EXPECT_EQ(read.result, TrackReadOk);
    EXPECT_EQ(read.messages, "SYNC TRACK FOUnD\n");
    EXPECT_EQ(read.track.keyCount, 0);
}

TEST(TrackReader, MissingFileSaysNotFoundWithThePath)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.file("absent.track");
    const ReadResult read(path);
    EXPECT_EQ(read.result, TrackReadMissing);
    EXPECT_EQ(read.messages, "SYNC TRACK " + path + " NOT FOUND\n");
    EXPECT_EQ(read.track.keyCount, 0);
    EXPECT_EQ(read.track.keys, nullptr);
}

TEST(TrackReader, FileTooShortForTheCount)
{
    testsupport::ScratchDir folder;
    for (const Bytes& bytes : {Bytes{}, Bytes{1, 0, 0}}) {
        const ReadResult read(folder.write("short.track", bytes));
        EXPECT_EQ(read.result, TrackReadDamaged);
        EXPECT_EQ(read.track.keyCount, 0);
        EXPECT_NE(read.messages.find("too short to hold a key count"), std::string::npos) << read.messages;
    }
}

TEST(TrackReader, TruncatedFileKeepsOnlyCompleteKeys)
{
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(3);
    putKey(bytes, 0, 1.0f, Linear);
    putKey(bytes, 8, 2.0f, Step);
    bytes.insert(bytes.end(), {16, 0, 0, 0, 0}); // five of the third key's nine bytes
    const ReadResult read(folder.write("cut.track", bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    ASSERT_EQ(read.track.keyCount, 2);
    EXPECT_EQ(read.track.keys[1].row, 8);
    EXPECT_EQ(read.track.keys[1].value, 2.0f);
    EXPECT_NE(read.messages.find("file ends after 2 of 3 keys"), std::string::npos) << read.messages;
}

TEST(TrackReader, HugeCountReadsOnlyWhatIsThere)
{
    // A count of two billion must neither allocate for it nor read past the two keys.
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(INT32_MAX);
    putKey(bytes, 1, 10.0f, Step);
    putKey(bytes, 2, 20.0f, Step);
    const ReadResult read(folder.write("huge.track", bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    ASSERT_EQ(read.track.keyCount, 2);
    EXPECT_EQ(read.track.keys[0].value, 10.0f);
    EXPECT_EQ(read.track.keys[1].value, 20.0f);

    const ReadResult countOnlyHuge(folder.write("huge0.track", countOnly(INT32_MAX)));
    EXPECT_EQ(countOnlyHuge.result, TrackReadDamaged);
    EXPECT_EQ(countOnlyHuge.track.keyCount, 0);
}

TEST(TrackReader, NegativeCountGivesNoKeys)
{
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(-1);
    putKey(bytes, 1, 10.0f, Step);
    const ReadResult read(folder.write("negative.track", bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    EXPECT_EQ(read.track.keyCount, 0);
    EXPECT_NE(read.messages.find("negative key count -1"), std::string::npos) << read.messages;
}

TEST(TrackReader, BytesBeyondTheCountAreReportedAndIgnored)
{
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(1);
    putKey(bytes, 1, 10.0f, Step);
    putKey(bytes, 2, 20.0f, Step);
    const ReadResult read(folder.write("long.track", bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    ASSERT_EQ(read.track.keyCount, 1);
    EXPECT_EQ(read.track.keys[0].value, 10.0f);
    EXPECT_NE(read.messages.find("bytes after the last of 1 keys"), std::string::npos) << read.messages;
}

TEST(TrackReader, KeysThatDoNotAscendAreReportedAndSkipped)
{
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(5);
    putKey(bytes, 0, 0.0f, Linear);
    putKey(bytes, 10, 1.0f, Linear);
    putKey(bytes, 5, 2.0f, Linear);
    putKey(bytes, 10, 3.0f, Linear);
    putKey(bytes, 20, 4.0f, Linear);
    const ReadResult read(folder.write("order.track", bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    ASSERT_EQ(read.track.keyCount, 3);
    EXPECT_EQ(read.track.keys[0].row, 0);
    EXPECT_EQ(read.track.keys[1].row, 10);
    EXPECT_EQ(read.track.keys[1].value, 1.0f);
    EXPECT_EQ(read.track.keys[2].row, 20);
    EXPECT_NE(read.messages.find("key 2 at row 5 does not follow row 10"), std::string::npos) << read.messages;
    EXPECT_NE(read.messages.find("key 3 at row 10 does not follow row 10"), std::string::npos) << read.messages;
}

TEST(TrackReader, ManyKeysSurviveTheGrowingBuffer)
{
    testsupport::ScratchDir folder;
    constexpr int count = 100003;
    Bytes bytes = countOnly(count);
    for (int i = 0; i < count; ++i)
        putKey(bytes, i * 3, static_cast<float>(i), static_cast<unsigned char>(i % 4));
    const ReadResult read(folder.write("many.track", bytes));
    EXPECT_EQ(read.result, TrackReadOk);
    ASSERT_EQ(read.track.keyCount, count);
    for (int i = 0; i < count; i += 997) {
        ASSERT_EQ(read.track.keys[i].row, i * 3);
        ASSERT_EQ(read.track.keys[i].value, static_cast<float>(i));
        ASSERT_EQ(read.track.keys[i].type, i % 4);
    }
    EXPECT_EQ(read.track.keys[count - 1].row, (count - 1) * 3);
}

TEST(TrackWriter, WritesTheTrackFileLayout)
{
    testsupport::ScratchDir folder;
    const std::vector<TrackKey> keys = {{-1, 0.5f, Smooth}, {300, -2.0f, -128}};
    const std::string path = folder.file("w.track");
    ASSERT_TRUE(writeTrackFile(path, keys));
    Bytes expected = countOnly(2);
    putKey(expected, -1, 0.5f, 0x02);
    putKey(expected, 300, -2.0f, 0x80);
    EXPECT_EQ(testsupport::readBytes(path), expected);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    ASSERT_TRUE(writeTrackFile(path, std::vector<TrackKey>{}));
    EXPECT_EQ(testsupport::readBytes(path), countOnly(0));
}

TEST(TrackWriter, RefusesKeysTheReaderCouldNotTakeBack)
{
    testsupport::ScratchDir folder;
    const std::string path = folder.write("keep.track", countOnly(0));
    FILE* log = std::tmpfile();
    EXPECT_FALSE(writeTrackFile(path, {{0, 1.0f, Step}, {0, 2.0f, Step}}, log));
    EXPECT_FALSE(writeTrackFile(path, {{5, 1.0f, Step}, {4, 2.0f, Step}}, log));
    EXPECT_FALSE(writeTrackFile(path, {{0, 1.0f, 128}}, log));
    EXPECT_FALSE(writeTrackFile(path, {{0, 1.0f, -129}}, log));
    EXPECT_FALSE(writeTrackFile(folder.file("no/such/folder.track"), {{0, 1.0f, Step}}, log));
    std::fclose(log);
    // A refused write leaves the existing file as it was.
    EXPECT_EQ(testsupport::readBytes(path), countOnly(0));
}

} // namespace
