// Snow arithmetic: where the flakes start, the shared noise table, the drift with its
// wrap at the slab's far end and the spring with its noise kick, sub-step by sub-step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "particles/SnowParticles.h"

namespace {

using Tarvo::Particle;

snow::NoiseTable fullTable()
{
    snow::NoiseTable table{};
    for (int j = 0; j < snow::noiseSize; ++j)
        table[static_cast<std::size_t>(j)] = snow::noiseValue(static_cast<unsigned>(j));
    return table;
}

} // namespace

TEST(SnowParticlesTest, ParticleZeroStartsAtRestAtHeightEightAndBlack)
{
    const Particle p = snow::initialParticle(0);
    EXPECT_EQ(p.position, glm::vec3(0.0f, 8.0f, 0.0f));
    EXPECT_EQ(p.restPosition, glm::vec3(0.0f, 8.0f, 0.0f));
    EXPECT_EQ(p.velocity, glm::vec3(0.0f));
    EXPECT_EQ(p.colourBytes[0], 0);
    EXPECT_EQ(p.colourBytes[1], 0);
    EXPECT_EQ(p.colourBytes[2], 0);
    EXPECT_EQ(p.size, 0.125);
    EXPECT_EQ(p.weight, 1.0);
}

TEST(SnowParticlesTest, FlakesSpreadOverTheSlabGreyByIndexAndOpaque)
{
    for (unsigned i = 0; i < snow::poolSize; ++i) {
        const Particle p = snow::initialParticle(i);
        EXPECT_LE(std::abs(p.position.x), 200.0f);
        EXPECT_GE(p.position.y, 0.0f);
        EXPECT_LE(p.position.y, 8.0f);
        EXPECT_LE(std::abs(p.position.z), 800.0f);
        EXPECT_LE(std::abs(p.restPosition.y - p.position.y), 0.2f + 1e-5f);
        EXPECT_EQ(p.restPosition.x, p.position.x);
        EXPECT_EQ(p.velocity.z, 0.0f);
        EXPECT_EQ(p.colourBytes[0], i % 256);
        EXPECT_EQ(p.colourBytes[2], i % 256);
        EXPECT_EQ(p.colourBytes[3], 255) << "flake " << i << " would be invisible";
    }
    // Flake 300 from the formulas: x = sin(300 * 5124) * 200, and so on.
    const Particle p = snow::initialParticle(300);
    EXPECT_FLOAT_EQ(p.position.x, static_cast<float>(std::sin(300.0 * 5124.0) * 200.0));
    EXPECT_FLOAT_EQ(p.position.y, static_cast<float>(std::cos(300.0 * 2.123125) * 4.0 + 4.0));
    EXPECT_FLOAT_EQ(p.position.z, static_cast<float>(std::sin((300.0 * 12.9898 + 2.0 * 78.233) * 43758.5453) * 800.0));
    EXPECT_FLOAT_EQ(p.velocity.y, static_cast<float>(std::sin(300.0 * 98234.432) * 0.2));
}

TEST(SnowParticlesTest, NoiseStartsAtOneAndStaysInRange)
{
    EXPECT_EQ(snow::noiseValue(0), 1.0);
    for (unsigned j = 0; j < snow::noiseSize; ++j) {
        const double n = snow::noiseValue(j);
        EXPECT_LE(std::abs(n), 1.0);
    }
}

TEST(SnowParticlesTest, NoiseIndexIsTheTruncatedTimePlusSubStepWrapped)
{
    EXPECT_EQ(snow::noiseIndex(0.0, 0), 0);
    EXPECT_EQ(snow::noiseIndex(0.0, 1), 1);
    EXPECT_EQ(snow::noiseIndex(16.9, 0), 16);
    EXPECT_EQ(snow::noiseIndex(1023.5, 1), 0);
    EXPECT_EQ(snow::noiseIndex(5000.0, 0), 5000 % 1024);
    // Time running backwards, or times no integer can hold, still land in the table.
    for (double dt : {-3.7, -1024.0, -1e300, 1e300, std::numeric_limits<double>::infinity(),
                      std::numeric_limits<double>::quiet_NaN()})
        for (int s : {0, 1}) {
            const int index = snow::noiseIndex(dt, s);
            EXPECT_GE(index, 0) << dt;
            EXPECT_LT(index, snow::noiseSize) << dt;
        }
}

TEST(SnowParticlesTest, ZeroElapsedTimeMovesNothingButKicksTheVelocityTwice)
{
    const snow::NoiseTable noise = fullTable();
    Particle p = snow::initialParticle(7);
    p.position.y = p.restPosition.y + 0.5f; // the spring pulls, but not in zero time
    const Particle before = p;
    snow::advance(0.0, p, noise);
    EXPECT_EQ(p.position, before.position);
    EXPECT_FLOAT_EQ(p.velocity.y, static_cast<float>(before.velocity.y + 0.01 * noise[0] + 0.01 * noise[1]));
    EXPECT_EQ(p.velocity.x, before.velocity.x);
}

TEST(SnowParticlesTest, WrapsFromTheFarEndInTheFirstSubStep)
{
    snow::NoiseTable silent{};
    Particle p;
    p.position = glm::vec3(3.0f, 4.0f, 799.999f);
    p.restPosition = p.position;
    snow::advance(1.0, p, silent);
    // 799.999 + 0.0025 passes 800: back to -800, then the second sub-step drifts on.
    EXPECT_FLOAT_EQ(p.position.z, static_cast<float>(-800.0 + 0.0025));
    EXPECT_EQ(p.position.x, 3.0f);

    p.position.z = 799.9f;
    snow::advance(1.0, p, silent);
    EXPECT_FLOAT_EQ(p.position.z, static_cast<float>(static_cast<double>(799.9f) + 0.005));
}

TEST(SnowParticlesTest, SpringMovesTheFlakeAlongItsExactSwing)
{
    // With k x dt a quarter turn per call the offset from rest and the velocity trade
    // places; a whole turn brings the flake back to where it started.
    snow::NoiseTable silent{};
    const double quarter = std::acos(-1.0) / 2.0 / (2.0 * snow::stepRate);
    Particle p;
    p.position = glm::vec3(0.0f, 9.0f, 0.0f);
    p.restPosition = glm::vec3(0.0f, 8.0f, 0.0f);
    p.velocity = glm::vec3(0.1f, 0.5f, 0.0f);
    snow::advance(quarter, p, silent);
    EXPECT_NEAR(p.position.y, 8.5, 1e-5);
    EXPECT_NEAR(p.velocity.y, -1.0, 1e-5);
    for (int i = 0; i < 3; ++i)
        snow::advance(quarter, p, silent);
    EXPECT_NEAR(p.position.y, 9.0, 1e-4);
    EXPECT_NEAR(p.velocity.y, 0.5, 1e-4);
    EXPECT_EQ(p.velocity.x, 0.1f);
    EXPECT_EQ(p.velocity.z, 0.0f);
}

TEST(SnowParticlesTest, EveryFlakeStaysNearItsRestHeightForTenMinutes)
{
    // The viewer's clock: milliseconds at a steady frame rate, the noise kicking each
    // frame, for every flake of the pool.
    const snow::NoiseTable noise = fullTable();
    for (int fps : {60, 10}) {
        std::vector<Particle> flakes;
        for (unsigned i = 0; i < snow::poolSize; ++i)
            flakes.push_back(snow::initialParticle(i));
        double worst = 0.0;
        double previous = 0.0;
        for (long frame = 1; frame <= 600L * fps; ++frame) {
            const double now = 1000.0 * static_cast<double>(frame) / fps;
            for (Particle& p : flakes) {
                snow::advance(now - previous, p, noise);
                worst = std::max(worst, static_cast<double>(std::abs(p.position.y - p.restPosition.y)));
            }
            previous = now;
        }
        // The flakes start within 0.2 of rest moving at most 0.2 a unit of swing; the kicks
        // shift each swing by well under a unit. Nothing runs away.
        EXPECT_LT(worst, 1.0) << fps << " fps";
        EXPECT_GT(worst, 0.05) << fps << " fps: the flakes should still bob";
    }
}
