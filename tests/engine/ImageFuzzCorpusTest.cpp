// Replays the image readers' fuzz corpus (the BMP that claimed gigabytes among it) on each
// ordinary test run: every file must pass both readers' checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/ImageFuzzChecks.h"

namespace {

TEST(ImageFuzzCorpusTest, EveryCorpusFilePassesBothReaders)
{
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(IMAGE_CORPUS_DIR)) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        EXPECT_EQ(imagefuzz::checkBmp(data, bytes.size()), "") << entry.path();
        EXPECT_EQ(imagefuzz::checkDds(data, bytes.size()), "") << entry.path();
    }
    EXPECT_GE(files, 8) << "corpus missing from " << IMAGE_CORPUS_DIR;
}

} // namespace
