// Replays the fuzz corpus through every reader on each ordinary test run: each file,
// whatever reader it was written for, must pass all four readers' checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MeshTestFiles.h"
#include "fuzz/FuzzChecks.h"
#include "support/CapturedOutput.h"
#include "support/ReadFile.h"

namespace {

std::vector<std::filesystem::path> corpusFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(MESH_CORPUS_DIR)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    return files;
}

using Check = std::string (*)(const std::uint8_t*, std::size_t);

void replay(Check check)
{
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), 20u) << "corpus missing from " << MESH_CORPUS_DIR;
    testsupport::CapturedOutput captured; // the readers' own progress lines
    for (const auto& file : files) {
        const std::string bytes = testsupport::readFile(file.string());
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        EXPECT_EQ(check(data, bytes.size()), "") << file;
    }
    captured.take();
}

} // namespace

TEST(CorpusReplayTest, ObjReader) { replay(meshfuzz::checkObj); }
TEST(CorpusReplayTest, BinaryMeshReader) { replay(meshfuzz::checkBinaryMesh); }
TEST(CorpusReplayTest, NwaReader) { replay(meshfuzz::checkNwa); }
TEST(CorpusReplayTest, PlyHeaderReader) { replay(meshfuzz::checkPlyHeader); }
