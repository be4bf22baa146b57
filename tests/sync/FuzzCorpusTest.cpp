// Replays the track readers' fuzz corpus on each ordinary test run, and puts the show's own
// timelines and compiled track files through the same checks: every file, whatever it was
// written for, must pass both readers' checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/SyncFuzzChecks.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesUnder(const fs::path& folder, const std::string& extension = {})
{
    std::vector<fs::path> files;
    if (!fs::exists(folder))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
            files.push_back(entry.path());
    return files;
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using Check = std::string (*)(const std::uint8_t*, std::size_t);

void expectPasses(Check check, const std::vector<fs::path>& files)
{
    for (const fs::path& file : files) {
        const std::string bytes = bytesOf(file);
        EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "") << file;
    }
}

TEST(SyncFuzzCorpusTest, EveryCorpusFilePassesBothReaders)
{
    const auto files = filesUnder(SYNC_CORPUS_DIR);
    ASSERT_GE(files.size(), 12u) << "corpus missing from " << SYNC_CORPUS_DIR;
    expectPasses(syncfuzz::checkTrackFile, files);
    expectPasses(syncfuzz::checkTimelineText, files);
}

TEST(SyncFuzzCorpusTest, TheShowsOwnTimelinesAndTracksPass)
{
    std::vector<fs::path> timelines = filesUnder(fs::path(VANTOR_DATA) / "scenes", ".txt");
    timelines.push_back(fs::path(VANTOR_DATA) / "timeline.txt");
    expectPasses(syncfuzz::checkTimelineText, timelines);
    const auto tracks = filesUnder(fs::path(VANTOR_DATA) / "science", ".track");
    ASSERT_GE(tracks.size(), 26u) << "the show's tracks are built by the timeline step";
    expectPasses(syncfuzz::checkTrackFile, tracks);
}

} // namespace
