// Noise used by the image generator: determinism, value ranges, exact tiling with a
// period, and cellular borders that really lie where the nearest cell changes.
#include "images/Noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace assetgen::images;

TEST(ImageNoise, HashSpreadsNeighbouringInputs)
{
    std::set<std::uint32_t> seen;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            seen.insert(hash2(x, y, 7u));
    EXPECT_EQ(seen.size(), 64u * 64u);
    EXPECT_NE(hash2(3, 5, 1u), hash2(5, 3, 1u));
    EXPECT_NE(hash2(3, 5, 1u), hash2(3, 5, 2u));

    // Mapped to [0, 1) the values cover the interval evenly.
    int low = 0;
    for (int i = 0; i < 10000; ++i) {
        const float f = unitFloat(hash32(static_cast<std::uint32_t>(i)));
        ASSERT_GE(f, 0.0f);
        ASSERT_LT(f, 1.0f);
        low += f < 0.5f ? 1 : 0;
    }
    EXPECT_NEAR(low, 5000, 250);
}

TEST(ImageNoise, GradientNoiseStaysInRangeAndVanishesOnTheLattice)
{
    double sum = 0.0;
    float lowest = 0.0f;
    float highest = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        const float x = 0.173f * static_cast<float>(i % 200) - 7.0f;
        const float y = 0.291f * static_cast<float>(i / 200) - 11.0f;
        const float n = perlin(x, y, 42u);
        ASSERT_TRUE(std::isfinite(n));
        lowest = std::fmin(lowest, n);
        highest = std::fmax(highest, n);
        sum += n;
    }
    EXPECT_GE(lowest, -1.01f);
    EXPECT_LE(highest, 1.01f);
    EXPECT_LT(lowest, -0.4f);
    EXPECT_GT(highest, 0.4f);
    EXPECT_NEAR(sum / 20000.0, 0.0, 0.05);

    EXPECT_FLOAT_EQ(perlin(3.0f, -4.0f, 42u), 0.0f);
    EXPECT_NE(perlin(3.5f, 4.5f, 42u), perlin(3.5f, 4.5f, 43u));
}

TEST(ImageNoise, FractalSumsAreNormalisedAndRidgedStaysInUnitRange)
{
    for (int i = 0; i < 2000; ++i) {
        const float x = 0.37f * static_cast<float>(i % 50);
        const float y = 0.53f * static_cast<float>(i / 50);
        const float f = fbm(x, y, 6, 0.5f, 9u);
        EXPECT_GE(f, -1.01f);
        EXPECT_LE(f, 1.01f);
        const float r = ridged(x, y, 4, 0.5f, 9u);
        EXPECT_GE(r, 0.0f);
        EXPECT_LE(r, 1.0f);
    }
    // No octaves: a defined zero rather than a division by zero.
    EXPECT_EQ(fbm(0.3f, 0.7f, 0, 0.5f, 1u), 0.0f);
    EXPECT_EQ(ridged(0.3f, 0.7f, 0, 0.5f, 1u), 0.0f);
}

TEST(ImageNoise, PeriodicNoiseRepeatsExactly)
{
    // Equal up to the rounding of the shifted coordinates themselves.
    constexpr float tolerance = 1e-5f;
    const Period period{4, 3};
    for (int i = 0; i < 200; ++i) {
        const float x = 0.041f * static_cast<float>(i);
        const float y = 0.027f * static_cast<float>(i * 7 % 100);
        EXPECT_NEAR(perlin(x, y, 5u, period), perlin(x + 4.0f, y, 5u, period), tolerance);
        EXPECT_NEAR(perlin(x, y, 5u, period), perlin(x, y - 3.0f, 5u, period), tolerance);
        EXPECT_NEAR(perlin(x, y, 5u, period), perlin(x - 8.0f, y + 6.0f, 5u, period), tolerance);
        // Octaves double the period along with the frequency, so the sum tiles too.
        EXPECT_NEAR(fbm(x, y, 5, 0.5f, 5u, period), fbm(x + 4.0f, y + 3.0f, 5, 0.5f, 5u, period), tolerance);
        EXPECT_NEAR(cellBorder(x, y, 5u, period), cellBorder(x + 4.0f, y, 5u, period), tolerance);
    }
    // Without a period the same shift gives different noise.
    EXPECT_NE(perlin(0.3f, 0.6f, 5u), perlin(4.3f, 0.6f, 5u));
}

TEST(ImageNoise, CellBorderIsZeroWhereTheNearestCellChanges)
{
    constexpr float step = 0.002f;
    int crossings = 0;
    std::uint32_t previous = cellular(0.05f, 0.37f, 11u).cell;
    for (int i = 1; i < 5000; ++i) {
        const float x = 0.05f + step * static_cast<float>(i);
        const Cellular c = cellular(x, 0.37f, 11u);
        const float border = cellBorder(x, 0.37f, 11u);
        EXPECT_GE(border, -1e-5f);
        EXPECT_LE(c.f1, c.f2);
        if (c.cell != previous) {
            // The border lies between this sample and the previous one.
            EXPECT_LT(border, step * 1.01f) << "at x = " << x;
            ++crossings;
        }
        previous = c.cell;
    }
    EXPECT_GT(crossings, 5);

    // Far inside a cell, next to its feature point, the border is well away.
    float maxBorder = 0.0f;
    for (int i = 0; i < 400; ++i)
        maxBorder = std::fmax(maxBorder, cellBorder(0.01f * static_cast<float>(i), 0.5f, 11u));
    EXPECT_GT(maxBorder, 0.15f);
}
