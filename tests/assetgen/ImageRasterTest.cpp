// The float canvas, its conversion to 8-bit pixels and PNG files, the signed distance
// shapes and the panorama mapping that the sky and environment images share.
#include "images/Panorama.h"
#include "images/Raster.h"
#include "images/Shapes.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

using namespace assetgen::images;

TEST(ImageRaster, OutOfRangeAccessStaysOnTheCanvas)
{
    Raster r(4, 3, rgb(0.0f, 0.0f, 0.0f));
    r.at(3, 2) = rgb(1.0f, 0.5f, 0.25f);
    EXPECT_FLOAT_EQ(r.at(100, 100).g, 0.5f);
    EXPECT_FLOAT_EQ(r.at(-5, -5).g, 0.0f);
    r.blendOver(-1, 0, rgb(1.0f, 1.0f, 1.0f));
    r.blendOver(4, 0, rgb(1.0f, 1.0f, 1.0f));
    EXPECT_FLOAT_EQ(r.at(0, 0).r, 0.0f);
    EXPECT_FLOAT_EQ(r.at(3, 0).r, 0.0f);

    // A degenerate size still gives a usable one-pixel canvas.
    Raster empty(0, -3);
    EXPECT_EQ(empty.width(), 1);
    EXPECT_EQ(empty.height(), 1);
    EXPECT_EQ(empty.toBytes(4, false).size(), 4u);
}

TEST(ImageRaster, StraightAlphaOverComposites)
{
    const Color bottom{0.0f, 0.0f, 1.0f, 1.0f};
    const Color half{1.0f, 0.0f, 0.0f, 0.5f};
    const Color c = over(half, bottom);
    EXPECT_FLOAT_EQ(c.r, 0.5f);
    EXPECT_FLOAT_EQ(c.b, 0.5f);
    EXPECT_FLOAT_EQ(c.a, 1.0f);
    // Over a transparent pixel the colour stays unpremultiplied.
    const Color onClear = over(half, Color{0.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(onClear.r, 1.0f);
    EXPECT_FLOAT_EQ(onClear.a, 0.5f);
    const Color nothing = over(Color{1.0f, 1.0f, 1.0f, 0.0f}, Color{1.0f, 1.0f, 1.0f, 0.0f});
    EXPECT_FLOAT_EQ(nothing.a, 0.0f);
    EXPECT_TRUE(std::isfinite(nothing.r));
}

TEST(ImageRaster, BytesAreClampedAndNonFiniteValuesBecomeZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Raster r(2, 1);
    r.at(0, 0) = {nan, -inf, 2.0f, 0.5f};
    r.at(1, 0) = {-0.5f, 1.0f, 0.0f, inf};
    EXPECT_FALSE(r.allFinite());
    const std::vector<std::uint8_t> bytes = r.toBytes(4, false);
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 255);
    EXPECT_EQ(bytes[3], 128);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[5], 255);
    EXPECT_EQ(bytes[7], 0);
    EXPECT_EQ(r.toBytes(3, false).size(), 6u);
}

TEST(ImageRaster, DitherKeepsTheAverageAndLeavesAlphaExact)
{
    // A level a third of the way between two 8-bit steps: rounding always gives the
    // lower step, the ordered dither mixes both in the right proportion.
    const float level = (100.0f + 1.0f / 3.0f) / 255.0f;
    Raster r(64, 64, {level, level, level, 0.3f});
    const std::vector<std::uint8_t> plain = r.toBytes(4, false);
    const std::vector<std::uint8_t> dithered = r.toBytes(4, true);
    double plainSum = 0.0;
    double ditherSum = 0.0;
    for (std::size_t i = 0; i < dithered.size(); i += 4) {
        plainSum += plain[i];
        ditherSum += dithered[i];
        EXPECT_TRUE(dithered[i] == 100 || dithered[i] == 101);
        EXPECT_EQ(dithered[i + 3], plain[i + 3]);
    }
    EXPECT_DOUBLE_EQ(plainSum / 4096.0, 100.0);
    EXPECT_NEAR(ditherSum / 4096.0, 100.0 + 1.0 / 3.0, 0.05);
}

TEST(ImageRaster, BilinearSampleRepeatsAtTheBorders)
{
    Raster r(2, 1);
    r.at(0, 0) = rgb(0.0f, 0.0f, 0.0f);
    r.at(1, 0) = rgb(1.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(r.sample(0.25f, 0.5f).r, 0.0f);
    EXPECT_FLOAT_EQ(r.sample(0.75f, 0.5f).r, 1.0f);
    EXPECT_FLOAT_EQ(r.sample(0.5f, 0.5f).r, 0.5f);
    // Across the seam, between the last and the first texel.
    EXPECT_FLOAT_EQ(r.sample(1.0f, 0.5f).r, 0.5f);
    EXPECT_FLOAT_EQ(r.sample(1.25f, 0.5f).r, r.sample(0.25f, 0.5f).r);
    EXPECT_TRUE(std::isfinite(r.sample(std::nanf(""), 0.0f).r));
}

TEST(ImageRaster, PngRoundTripsAndBadRequestsFail)
{
    const testsupport::ScratchDir scratch;
    const std::filesystem::path& dir = scratch.path();
    Raster r(5, 3);
    r.shade([](int x, int y) { return Color{x / 4.0f, y / 2.0f, 0.25f, (x + y) / 6.0f}; });
    const std::string path = (dir / "rgba.png").string();
    ASSERT_TRUE(writePng(r, path, 4));

    int w = 0;
    int h = 0;
    int n = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &n, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(n, 4);
    const std::vector<std::uint8_t> expected = r.toBytes(4, false);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), pixels));
    stbi_image_free(pixels);

    // The loader takes only RGB and RGBA, so nothing else is written.
    testsupport::CapturedOutput captured(testsupport::CapturedOutput::Stream::err);
    EXPECT_FALSE(writePng(r, (dir / "grey.png").string(), 1));
    EXPECT_FALSE(writePng(r, (dir / "missing" / "folder" / "x.png").string(), 3));
    const std::string messages = captured.take();
    EXPECT_NE(messages.find("grey.png"), std::string::npos);
    EXPECT_NE(messages.find("x.png"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "grey.png"));
}

TEST(ImageShapes, PolygonDistanceHasTheRightSignAndSize)
{
    const std::vector<Vec2> square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    EXPECT_FLOAT_EQ(sdPolygon({1, 1}, square), -1.0f);
    EXPECT_FLOAT_EQ(sdPolygon({3, 1}, square), 1.0f);
    EXPECT_FLOAT_EQ(sdPolygon({3, 3}, square), std::sqrt(2.0f));
    // Winding does not matter.
    const std::vector<Vec2> reversed = {{0, 2}, {2, 2}, {2, 0}, {0, 0}};
    EXPECT_FLOAT_EQ(sdPolygon({0.5f, 1.0f}, reversed), -0.5f);

    // A concave "V": the notch between the arms is outside.
    const std::vector<Vec2> vee = {{0, 2}, {1, 2}, {2, 1}, {3, 2}, {4, 2}, {2, 0}};
    EXPECT_GT(sdPolygon({2.0f, 1.8f}, vee), 0.0f);
    EXPECT_LT(sdPolygon({2.0f, 0.5f}, vee), 0.0f);
    EXPECT_GT(sdPolygon({5.0f, 5.0f}, {}), 1e6f);
}

TEST(ImageShapes, BoxesSegmentsAndCoverage)
{
    EXPECT_FLOAT_EQ(sdBox({0, 0}, {0, 0}, {1, 2}), -1.0f);
    EXPECT_FLOAT_EQ(sdBox({4, 0}, {0, 0}, {1, 2}), 3.0f);
    // The rounded corner is cut back by the radius along the diagonal.
    EXPECT_NEAR(sdRoundBox({1, 1}, {0, 0}, {1, 1}, 0.5f), std::sqrt(0.5f) - 0.5f, 1e-6f);
    // A radius larger than the box makes a circle, not a negative box.
    EXPECT_NEAR(sdRoundBox({2, 0}, {0, 0}, {1, 1}, 5.0f), 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(sdSegment({1, 1}, {0, 0}, {2, 0}, 0.25f), 0.75f);
    EXPECT_FLOAT_EQ(sdSegment({-1, 0}, {0, 0}, {0, 0}, 0.5f), 0.5f);

    EXPECT_FLOAT_EQ(coverage(-1.0f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(coverage(0.0f, 1.0f), 0.5f);
    EXPECT_FLOAT_EQ(coverage(1.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(coverage(0.25f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(coverage(-0.25f, 0.0f), 1.0f);
}

TEST(ImagePanorama, RowsRunFromZenithToNadirAndCoordinatesRoundTrip)
{
    const Vec3 zenith = panoramaDirection(0.3f, 0.0f);
    const Vec3 nadir = panoramaDirection(0.7f, 1.0f);
    EXPECT_NEAR(zenith.y, 1.0f, 1e-6f);
    EXPECT_NEAR(nadir.y, -1.0f, 1e-6f);
    const Vec3 east = panoramaDirection(0.0f, 0.5f);
    EXPECT_NEAR(east.x, 1.0f, 1e-6f);
    const Vec3 quarter = panoramaDirection(0.25f, 0.5f);
    EXPECT_NEAR(quarter.z, 1.0f, 1e-6f);
    EXPECT_NEAR(directionFromElevation(0.1f, 30.0f).y, 0.5f, 1e-5f);

    for (int i = 0; i < 100; ++i) {
        const float u = 0.013f + 0.0097f * static_cast<float>(i);
        const float v = 0.02f + 0.0096f * static_cast<float>(i);
        float u2 = -1.0f;
        float v2 = -1.0f;
        panoramaCoordinates(panoramaDirection(u, v), u2, v2);
        EXPECT_NEAR(u2, u, 1e-4f);
        EXPECT_NEAR(v2, v, 1e-4f);
    }
    float u = -1.0f;
    float v = -1.0f;
    panoramaCoordinates({0.0f, 0.0f, 0.0f}, u, v);
    EXPECT_TRUE(u >= 0.0f && u < 1.0f && v >= 0.0f && v <= 1.0f);
}
