// Track files as the reader meets them: well formed, empty, missing, and damaged in each
// way a file can disagree with its own key count.
#include "TrackFiles.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"
#include "support/Temporaries.h"
#include "sync/TrackReader.h"
#include "sync/TrackWriter.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <algorithm>
#include <filesystem>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

TEST(TrackReader, ReadsKeysInOrderAtTheEdgesOfEachField)
{
    testsupport::ScratchDir folder;
    Bytes bytes = countOnly(5);
    putKey(bytes, -4, -0.0f, 0x00);
    putKey(bytes, 0, 1.5f, 0x01);
    putKey(bytes, 7, 1e-45f, 0x02);
    putKey(bytes, 100000, -FLT_MAX, 0x03);
    putKey(bytes, INT_MAX, FLT_MAX, 0x00);
    const ReadResult read(folder.write("t.track", bytes));
    EXPECT_EQ(read.result, TrackReadOk);
    EXPECT_EQ(read.messages, "SYNC TRACK FOUnD\n");
    ASSERT_EQ(read.track.keyCount, 5);
    const TrackKey* k = read.track.keys;
    EXPECT_EQ(k[0].row, -4);
    EXPECT_TRUE(std::signbit(k[0].value));
    EXPECT_EQ(k[0].type, Step);
    EXPECT_EQ(k[1].row, 0);
    EXPECT_EQ(k[1].value, 1.5f);
    EXPECT_EQ(k[1].type, Linear);
    EXPECT_EQ(k[2].value, 1e-45f);
    EXPECT_EQ(k[2].type, Smooth);
    EXPECT_EQ(k[3].row, 100000);
    EXPECT_EQ(k[3].value, -FLT_MAX);
    EXPECT_EQ(k[3].type, Quadratic);
    EXPECT_EQ(k[4].row, INT_MAX);
    EXPECT_EQ(k[4].value, FLT_MAX);
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

// A file that disagrees with its own key count: what the reader keeps of it and the
// lines that say why.
struct Damage {
    std::string name;
    Bytes bytes;
    std::vector<TrackKey> kept;
    std::vector<std::string> said;
};

void PrintTo(const Damage& damage, std::ostream* out)
{
    *out << damage.name;
}

Bytes withKeys(int32_t count, const std::vector<TrackKey>& keys, const Bytes& tail = {})
{
    Bytes bytes = countOnly(count);
    for (const TrackKey& key : keys)
        putKey(bytes, key.row, key.value, static_cast<unsigned char>(key.type));
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

const Damage damages[] = {
    {"EmptyFileIsTooShortForTheCount", {}, {}, {"too short to hold a key count"}},
    {"ThreeBytesAreTooShortForTheCount", {1, 0, 0}, {}, {"too short to hold a key count"}},
    // Five of the third key's nine bytes.
    {"TruncatedFileKeepsOnlyCompleteKeys",
        withKeys(3, {{0, 1.0f, Linear}, {8, 2.0f, Step}}, {16, 0, 0, 0, 0}),
        {{0, 1.0f, Linear}, {8, 2.0f, Step}}, {"file ends after 2 of 3 keys"}},
    // A count of two billion must neither allocate for it nor read past the two keys.
    {"HugeCountReadsOnlyWhatIsThere", withKeys(INT32_MAX, {{1, 10.0f, Step}, {2, 20.0f, Step}}),
        {{1, 10.0f, Step}, {2, 20.0f, Step}}, {}},
    {"HugeCountWithoutKeysGivesNone", countOnly(INT32_MAX), {}, {}},
    {"NegativeCountGivesNoKeys", withKeys(-1, {{1, 10.0f, Step}}), {}, {"negative key count -1"}},
    {"BytesBeyondTheCountAreReportedAndIgnored",
        withKeys(1, {{1, 10.0f, Step}, {2, 20.0f, Step}}), {{1, 10.0f, Step}},
        {"bytes after the last of 1 keys"}},
    {"KeysThatDoNotAscendAreReportedAndSkipped",
        withKeys(5, {{0, 0.0f, Linear}, {10, 1.0f, Linear}, {5, 2.0f, Linear}, {10, 3.0f, Linear},
                        {20, 4.0f, Linear}}),
        {{0, 0.0f, Linear}, {10, 1.0f, Linear}, {20, 4.0f, Linear}},
        {"2 of 5 keys skipped, the first: key 2 at row 5 does not follow row 10\n"}},
    // Values the evaluator cannot interpolate: the key goes, the next is judged against
    // the last key kept.
    {"KeysWithValuesThatAreNotFiniteAreSkipped",
        withKeys(4, {{0, 1.0f, Linear}, {4, NAN, Linear}, {8, INFINITY, Step}, {9, 2.0f, Step}}),
        {{0, 1.0f, Linear}, {9, 2.0f, Step}}, {"2 of 4 keys skipped, the first: key 1 at row 4 has the value nan\n"}},
    {"NegativeInfinityIsNotAValueEither", withKeys(1, {{3, -INFINITY, Step}}), {},
        {"1 of 1 keys skipped, the first: key 0 at row 3 has the value -inf\n"}},
    // Type bytes are signed: 0xff is -1, 0x80 is -128, both as unknown as 4 or 127.
    {"KeysOfUnknownInterpolationTypesAreSkipped",
        withKeys(6, {{0, 1.0f, Step}, {1, 1.0f, 5}, {2, 1.0f, 4}, {3, 1.0f, Quadratic}, {4, 1.0f, 0x7f}, {5, 1.0f, 0xff}}),
        {{0, 1.0f, Step}, {3, 1.0f, Quadratic}},
        {"4 of 6 keys skipped, the first: key 1 at row 1 has the unknown interpolation type 5\n"}},
    {"TypeBytesAreSignExtendedInTheMessage", withKeys(1, {{7, 1.0f, 0x80}}), {},
        {"key 0 at row 7 has the unknown interpolation type -128\n"}},
    {"TypeMinusOneIsUnknown", withKeys(1, {{7, 1.0f, 0xff}}), {}, {"has the unknown interpolation type -1\n"}},
};

class DamagedTrack : public testing::TestWithParam<Damage> {};

TEST_P(DamagedTrack, KeepsTheIntactKeysAndSaysWhy)
{
    const Damage& damage = GetParam();
    testsupport::ScratchDir folder;
    const ReadResult read(folder.write("damaged.track", damage.bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    ASSERT_EQ(read.track.keyCount, static_cast<int>(damage.kept.size()));
    for (std::size_t i = 0; i < damage.kept.size(); ++i) {
        EXPECT_EQ(read.track.keys[i].row, damage.kept[i].row) << "key " << i;
        EXPECT_EQ(read.track.keys[i].value, damage.kept[i].value) << "key " << i;
        EXPECT_EQ(read.track.keys[i].type, damage.kept[i].type) << "key " << i;
    }
    for (const std::string& line : damage.said)
        EXPECT_NE(read.messages.find(line), std::string::npos) << read.messages;
}

INSTANTIATE_TEST_SUITE_P(TrackReader, DamagedTrack, testing::ValuesIn(damages),
    [](const testing::TestParamInfo<Damage>& info) { return info.param.name; });

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

// However many keys a file loses, it costs one line: a file of 200,000 descending rows
// keeps its first key and says so once.
TEST(TrackReader, ManyRefusedKeysAreToldInOneLine)
{
    testsupport::ScratchDir folder;
    constexpr int count = 200000;
    Bytes bytes = countOnly(count);
    for (int i = 0; i < count; ++i)
        putKey(bytes, count - i, 1.0f, Linear);
    const ReadResult read(folder.write("descending.track", bytes));
    EXPECT_EQ(read.result, TrackReadDamaged);
    ASSERT_EQ(read.track.keyCount, 1);
    EXPECT_EQ(read.track.keys[0].row, count);
    const std::string path = folder.file("descending.track");
    EXPECT_EQ(read.messages,
        "SYNC TRACK FOUnD\nSYNC TRACK " + path
            + ": 199999 of 200000 keys skipped, the first: key 1 at row 199999 does not follow row 200000\n");
}

// The show's own tracks are the files the checks above must never touch: each reads
// without a message, key for key as its bytes say.
TEST(TrackReader, TheShowsOwnTracksReadWholeAndUnchanged)
{
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VANTOR_DATA "/science")) {
        if (entry.path().extension() != ".track")
            continue;
        ++files;
        const Bytes bytes = testsupport::readBytes(entry.path().string());
        ASSERT_GE(bytes.size(), 4u);
        const std::size_t keys = (bytes.size() - 4) / 9;
        const ReadResult read(entry.path().string());
        EXPECT_EQ(read.result, TrackReadOk) << entry.path();
        EXPECT_EQ(read.messages, "SYNC TRACK FOUnD\n");
        ASSERT_EQ(read.track.keyCount, static_cast<int>(keys)) << entry.path();
        for (std::size_t i = 0; i < keys; ++i) {
            Bytes key;
            putKey(key, read.track.keys[i].row, read.track.keys[i].value,
                static_cast<unsigned char>(read.track.keys[i].type));
            ASSERT_TRUE(std::equal(key.begin(), key.end(), bytes.begin() + 4 + 9 * i)) << entry.path() << " key " << i;
        }
    }
    EXPECT_GE(files, 26u) << "the show's tracks are built by the timeline step";
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
    EXPECT_TRUE(testsupport::temporariesBeside(path).empty());

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
