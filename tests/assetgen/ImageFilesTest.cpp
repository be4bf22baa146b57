// The image files as the show reads them: every path it loads exists with three or
// four channels, the files are byte-identical from run to run, and each picture shows
// what its users rely on (sun brighter than the nadir, a vignette bright in the
// middle, a transparent sprite border, seamless tiling where textures repeat).
#include "AssetGen.h"
#include "images/EnvMap.h"
#include "images/ImageSet.h"
#include "images/Sky.h"
#include "support/CapturedOutput.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace assetgen::images;
namespace fs = std::filesystem;

namespace {

using Image = testsupport::PngPicture;

const ImageFile* findImageFile(const std::string& path)
{
    const auto found = std::ranges::find(imageFiles(), path, &ImageFile::path);
    return found == imageFiles().end() ? nullptr : &*found;
}

// Mean absolute difference between two columns (or rows), over all colour channels.
float lineDifference(const Image& image, bool columns, int a, int b)
{
    const int length = columns ? image.height : image.width;
    double sum = 0.0;
    for (int i = 0; i < length; ++i)
        for (int c = 0; c < 3; ++c)
            sum += std::fabs(columns ? image.value(a, i, c) - image.value(b, i, c)
                                     : image.value(i, a, c) - image.value(i, b, c));
    return static_cast<float>(sum / (length * 3.0));
}

// A tile is seamless when the step across its wrap-around edge is no larger than the
// typical step between neighbouring lines inside it.
void expectSeamless(const Image& image, bool columns, const char* name)
{
    const int count = columns ? image.width : image.height;
    double inner = 0.0;
    for (int i = 0; i + 1 < count; ++i)
        inner += lineDifference(image, columns, i, i + 1);
    inner /= (count - 1);
    const float seam = lineDifference(image, columns, count - 1, 0);
    EXPECT_LE(seam, 2.0 * inner + 1.0) << name << (columns ? " left/right" : " top/bottom");
}

// Writes images on demand into one folder per process: each test generates only the
// files it reads, except those that check the whole set.
class ImageFiles : public testing::Test {
protected:
    static void SetUpTestSuite() { scratch = new testsupport::ScratchDir; }
    static void TearDownTestSuite()
    {
        delete scratch;
        scratch = nullptr;
    }

    static Image image(const char* path)
    {
        if (!fs::exists(scratch->path() / path)) {
            const ImageFile* file = findImageFile(path);
            if (file == nullptr || !writeImageFile(*file, scratch->path().string()))
                return {};
        }
        return testsupport::readPng(scratch->path() / path);
    }

    static testsupport::ScratchDir* scratch;
};

testsupport::ScratchDir* ImageFiles::scratch = nullptr;

} // namespace

TEST_F(ImageFiles, EveryImageTheShowLoadsExistsWithThreeOrFourChannels)
{
    ASSERT_TRUE(assetgen::generateImages(scratch->path().string()));
    // The paths as the show's loaders name them, with the channels each user needs.
    const std::map<std::string, int> needed = {
        {"img/skytex.png", 3},   {"img/envmap.png", 3},  {"img/vignette.png", 3},
        {"vignette.png", 3},     {"img/vantor.png", 4},  {"img/particle.png", 4},
        {"crack.png", 3},        {"zebra.png", 3},       {"models/nokka_diffuse.png", 3},
        {"img/brass2.png", 3},   {"space.png", 3},       {"tavlo.png", 3},
    };
    for (const auto& [path, channels] : needed) {
        const Image loaded = image(path.c_str());
        EXPECT_FALSE(loaded.pixels.empty()) << path;
        EXPECT_EQ(loaded.channels, channels) << path;
    }
    // And the table that drives the writer agrees with what is on disk.
    EXPECT_EQ(imageFiles().size(), needed.size());
    for (const ImageFile& file : imageFiles()) {
        const Image loaded = image(file.path);
        EXPECT_EQ(loaded.width, file.width) << file.path;
        EXPECT_EQ(loaded.height, file.height) << file.path;
        EXPECT_EQ(loaded.channels, file.channels) << file.path;
    }
}

TEST_F(ImageFiles, TwoRunsWriteIdenticalBytes)
{
    const testsupport::ScratchDir first;
    const testsupport::ScratchDir second;
    ASSERT_TRUE(assetgen::generateImages(first.path().string()));
    ASSERT_TRUE(assetgen::generateImages(second.path().string()));
    for (const ImageFile& file : imageFiles()) {
        const std::string a = testsupport::readFile(first.path() / file.path);
        EXPECT_FALSE(a.empty()) << file.path;
        EXPECT_TRUE(a == testsupport::readFile(second.path() / file.path)) << file.path;
    }
}

TEST_F(ImageFiles, SkyIsBrightNearTheSunDarkAtTheNadirAndWrapsAround)
{
    const Image sky = image("img/skytex.png");
    ASSERT_FALSE(sky.pixels.empty());
    const int sunX = static_cast<int>(skySun.u * sky.width);
    const int sunY = static_cast<int>(skySun.v() * sky.height);
    double nadir = 0.0;
    double zenith = 0.0;
    for (int x = 0; x < sky.width; ++x) {
        nadir += sky.luma(x, sky.height - 1);
        zenith += sky.luma(x, 0);
    }
    nadir /= sky.width;
    zenith /= sky.width;
    EXPECT_GT(sky.luma(sunX, sunY), 230.0f);
    EXPECT_LT(nadir, 40.0);
    EXPECT_GT(sky.luma(sunX, sunY), zenith + 100.0);
    // The top and bottom rows each collapse onto one point of the sphere, so they
    // must be nearly uniform; and the panorama closes on itself around the vertical.
    for (int x = 0; x < sky.width; x += 64) {
        EXPECT_NEAR(sky.luma(x, 0), zenith, 6.0) << x;
        EXPECT_NEAR(sky.luma(x, sky.height - 1), nadir, 6.0) << x;
    }
    expectSeamless(sky, true, "skytex");
}

TEST_F(ImageFiles, EnvironmentHasABrightSkyOverADarkerGroundAndAHotSun)
{
    const Image env = image("img/envmap.png");
    ASSERT_FALSE(env.pixels.empty());
    double upper = 0.0;
    double lower = 0.0;
    for (int y = 0; y < env.height; ++y)
        for (int x = 0; x < env.width; ++x)
            (y < env.height / 2 ? upper : lower) += env.luma(x, y);
    EXPECT_GT(upper, lower * 1.5);
    const int sunX = static_cast<int>(environmentSun.u * env.width);
    const int sunY = static_cast<int>(environmentSun.v() * env.height);
    EXPECT_GT(env.luma(sunX, sunY), 250.0f);
    expectSeamless(env, true, "envmap");
}

TEST_F(ImageFiles, VignetteIsWhiteInTheMiddleAndDarkInTheCorners)
{
    for (const char* path : {"img/vignette.png", "vignette.png"}) {
        const Image v = image(path);
        ASSERT_FALSE(v.pixels.empty()) << path;
        const float centre = v.luma(v.width / 2, v.height / 2);
        EXPECT_GE(centre, 254.0f) << path;
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{v.width - 1, 0}, std::pair{0, v.height - 1},
                                   std::pair{v.width - 1, v.height - 1}})
            EXPECT_LT(v.luma(x, y), 100.0f) << path;
        // Falling from the centre out to the right edge (up to the one-step dither),
        // and mirror-symmetric.
        for (int x = v.width / 2; x + 1 < v.width; ++x)
            ASSERT_GE(v.luma(x, v.height / 2) + 1.5f, v.luma(x + 1, v.height / 2)) << path << " x " << x;
        EXPECT_NEAR(v.luma(10, 100), v.luma(v.width - 11, 100), 1.5f) << path;
    }
}

TEST_F(ImageFiles, SpritesAreTransparentAtTheirBorders)
{
    const Image particle = image("img/particle.png");
    ASSERT_EQ(particle.channels, 4);
    for (int i = 0; i < particle.width; ++i) {
        EXPECT_EQ(particle.value(i, 0, 3), 0.0f);
        EXPECT_EQ(particle.value(i, particle.height - 1, 3), 0.0f);
        EXPECT_EQ(particle.value(0, i, 3), 0.0f);
        EXPECT_EQ(particle.value(particle.width - 1, i, 3), 0.0f);
    }
    EXPECT_GT(particle.value(particle.width / 2, particle.height / 2, 3), 200.0f);

    const Image logo = image("img/vantor.png");
    ASSERT_EQ(logo.channels, 4);
    EXPECT_EQ(logo.value(0, 0, 3), 0.0f);
    EXPECT_EQ(logo.value(logo.width - 1, logo.height - 1, 3), 0.0f);
}

TEST_F(ImageFiles, RepeatingTexturesTileSeamlessly)
{
    for (const char* path : {"zebra.png", "crack.png", "img/brass2.png", "space.png", "models/nokka_diffuse.png"}) {
        const Image tile = image(path);
        ASSERT_FALSE(tile.pixels.empty()) << path;
        expectSeamless(tile, true, path);
        expectSeamless(tile, false, path);
    }
    // The zebra is really black and white, in comparable amounts.
    const Image zebra = image("zebra.png");
    int dark = 0;
    int light = 0;
    for (int y = 0; y < zebra.height; ++y)
        for (int x = 0; x < zebra.width; ++x) {
            dark += zebra.luma(x, y) < 40.0f ? 1 : 0;
            light += zebra.luma(x, y) > 200.0f ? 1 : 0;
        }
    const int total = zebra.width * zebra.height;
    EXPECT_GT(dark, total * 3 / 10);
    EXPECT_GT(light, total * 3 / 10);
}

TEST_F(ImageFiles, SeamCheckNoticesAPictureThatDoesNotTile)
{
    // The framed painting is not meant to tile; its frame meets wood to wood, so the
    // check is applied to a half of it, whose edges plainly do not match.
    Image painting = image("tavlo.png");
    ASSERT_FALSE(painting.pixels.empty());
    Image half = painting;
    half.height = painting.height / 2;
    half.pixels.resize(static_cast<std::size_t>(half.width) * half.height * half.channels);
    const float seam = lineDifference(half, false, half.height - 1, 0);
    EXPECT_GT(seam, 20.0f);
}

TEST(ImageGenerate, UnwritableDataDirectoryFailsWithAMessage)
{
    const testsupport::ScratchDir scratch;
    // A file where the data folder should be: nothing can be created under it.
    const std::string blocker = scratch.write("data", "not a folder");
    testsupport::CapturedOutput captured(testsupport::CapturedOutput::Stream::err);
    EXPECT_FALSE(assetgen::generateImages(blocker));
    const std::string messages = captured.take();
    EXPECT_NE(messages.find("assetgen:"), std::string::npos);
}
