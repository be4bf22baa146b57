// A small show in a scratch folder for the tests that run the studio whole: a generated
// tune, a copy of the repository's shaders (a copy, not a link: the tests save into it),
// the studio started in it on the test card, and how bright a screenshot it wrote is.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "StudioProcess.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace studiotest {

// Fails the test when the tune cannot be made; call under ASSERT_NO_FATAL_FAILURE.
inline void makeStudioShow(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    fs::create_directories(folder / "data" / "science");
    const std::string tune = std::string("'") + VANTOR_MAKETUNE + "' '" + (folder / "data" / "vaxo-dubtech.mp3").string() +
        "' 20 > /dev/null 2>&1";
    ASSERT_EQ(std::system(tune.c_str()), 0);
    fs::copy(fs::path(VANTOR_DATA) / "shaders", folder / "data" / "shaders", fs::copy_options::recursive);
}

// The mean of every channel of every pixel, 0 to 255; -1 when the picture cannot be read.
inline double meanBrightness(const std::filesystem::path& path)
{
    const testsupport::PngPicture picture = testsupport::readPng(path, 3);
    if (picture.pixels.empty())
        return -1.0;
    double sum = 0.0;
    for (const std::uint8_t channel : picture.pixels)
        sum += channel;
    return sum / static_cast<double>(picture.pixels.size());
}

// The show made fresh for each test, and vantor-studio run in it.
class StudioShowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(makeStudioShow(folder.path())); }

    // The studio on the test card at 96x54 (cheap on a software GL) with no sound device,
    // then the test's own arguments.
    std::unique_ptr<StudioProcess> launch(const std::vector<std::string>& more, const std::string& size = "96x54")
    {
        std::vector<std::string> args{"--scene", "testcard", "--size", size};
        args.insert(args.end(), more.begin(), more.end());
        return std::make_unique<StudioProcess>(folder.path().string(), VANTOR_STUDIO, args,
            std::vector<std::string>{"SDL_AUDIODRIVER=dummy"});
    }

    testsupport::ScratchDir folder;
};

} // namespace studiotest
