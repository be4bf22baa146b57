// Each image generator on its own, at small sizes: finite values, the same pixels on
// every call, and sane results for degenerate sizes.
#include "images/EnvMap.h"
#include "images/ImageSet.h"
#include "images/Masks.h"
#include "images/Sky.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen::images;

TEST(ImageGenerators, SmallImagesAreFiniteAndDeterministic)
{
    for (const ImageFile& file : imageFiles()) {
        const int w = std::max(file.width / 16, 8);
        const int h = std::max(file.height / 16, 8);
        const Raster first = file.make(w, h);
        const Raster second = file.make(w, h);
        EXPECT_TRUE(first.allFinite()) << file.path;
        EXPECT_EQ(first.toBytes(file.channels, file.dither), second.toBytes(file.channels, file.dither))
            << file.path;
        EXPECT_TRUE(file.channels == 3 || file.channels == 4) << file.path;
    }
}

TEST(ImageGenerators, DegenerateSizesGiveAOnePixelImage)
{
    for (const ImageFile& file : imageFiles()) {
        const Raster tiny = file.make(0, 0);
        EXPECT_EQ(tiny.width(), 1) << file.path;
        EXPECT_EQ(tiny.height(), 1) << file.path;
        EXPECT_TRUE(tiny.allFinite()) << file.path;
    }
}

TEST(ImageGenerators, SkyDirectionsOrderSunHorizonAndNadir)
{
    const Vec3 sun = skySun.direction();
    const Vec3 nadir{0.0f, -1.0f, 0.0f};
    const Vec3 zenith{0.0f, 1.0f, 0.0f};
    const float pixel = 0.003f;
    EXPECT_GT(luminance(skyColor(sun, pixel)), 0.95f);
    EXPECT_LT(luminance(skyColor(nadir, pixel)), 0.1f);
    EXPECT_GT(luminance(skyColor(sun, pixel)), 3.0f * luminance(skyColor(zenith, pixel)));
    // Just above the horizon opposite the sun is still dusk-lit, brighter than the
    // water straight down.
    const Vec3 away = directionFromElevation(skySun.u + 0.5f, 2.0f);
    EXPECT_GT(luminance(skyColor(away, pixel)), luminance(skyColor(nadir, pixel)));
    // Any direction, even a zero vector, gives a finite colour.
    const Color odd = skyColor({0.0f, 0.0f, 0.0f}, pixel);
    EXPECT_TRUE(std::isfinite(odd.r) && std::isfinite(odd.g) && std::isfinite(odd.b));
    const Color envOdd = environmentColor({0.0f, 0.0f, 0.0f}, pixel);
    EXPECT_TRUE(std::isfinite(envOdd.r) && std::isfinite(envOdd.g) && std::isfinite(envOdd.b));
}

TEST(ImageGenerators, ParticleIsWhiteWithItsShapeInAlpha)
{
    const Raster flake = makeParticle(32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            // White everywhere, so blending never darkens a fringe.
            ASSERT_GT(flake.at(x, y).r, 0.9f);
            ASSERT_GT(flake.at(x, y).b, 0.9f);
        }
    }
    // Round: alpha falls off with distance from the centre along every axis.
    EXPECT_GT(flake.at(16, 16).a, flake.at(16, 8).a);
    EXPECT_GT(flake.at(16, 16).a, flake.at(8, 16).a);
    EXPECT_NEAR(flake.at(16, 4).a, flake.at(4, 16).a, 0.15f);
}
