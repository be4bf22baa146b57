// Snow arithmetic. Placement and noise come from sines of large arguments, a cheap hash
// that spreads the flakes without a random generator and is the same on every run; all of
// it is carried out in double precision and rounded to the particle's floats at the end.
#include "particles/SnowParticles.h"

#include <cmath>

namespace snow {

namespace {

constexpr double slabHalfWidth = 200.0;
constexpr double slabHalfLength = 800.0;
constexpr double heightSpread = 4.0;
constexpr double restOffset = 0.2;
constexpr unsigned flakesPerStripe = 128;
constexpr int subSteps = 2;
constexpr std::uint8_t opaque = 255;

} // namespace

Tarvo::Particle initialParticle(unsigned i)
{
    const double n = static_cast<double>(i);
    const double stripe = static_cast<double>(i / flakesPerStripe);
    const double x = std::sin(n * 5124.0) * slabHalfWidth;
    const double y = std::cos(n * 2.123125) * heightSpread + heightSpread;
    const double z = std::sin((n * 12.9898 + stripe * 78.233) * 43758.5453) * slabHalfLength;

    Tarvo::Particle p;
    p.position = glm::vec3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    p.restPosition = glm::vec3(static_cast<float>(x), static_cast<float>(y + std::sin(n * 512543.0) * restOffset),
                               static_cast<float>(z));
    p.velocity = glm::vec3(static_cast<float>(std::sin(n * 849234.42) * 0.1),
                           static_cast<float>(std::sin(n * 98234.432) * 0.2), 0.0f);
    p.size = flakeSize;
    p.weight = 1.0;
    const auto grey = static_cast<std::uint8_t>(i % 256u);
    p.colourBytes[0] = grey;
    p.colourBytes[1] = grey;
    p.colourBytes[2] = grey;
    // The flakes blend with their alpha; left at zero they would never show.
    p.colourBytes[3] = opaque;
    return p;
}

double noiseValue(unsigned j)
{
    const double n = static_cast<double>(j);
    return std::cos(n * 231892938.03289 * std::sin(n * 10249532.32894 + n * n) * 289132.328912);
}

int noiseIndex(double dt, int subStep)
{
    // Truncating a huge, infinite or NaN time to an integer is undefined, and a negative
    // one (time running backwards) would index before the table: wrap in floating point.
    if (!std::isfinite(dt))
        return subStep % noiseSize;
    double index = std::fmod(std::trunc(dt) + subStep, static_cast<double>(noiseSize));
    if (index < 0.0)
        index += noiseSize;
    return static_cast<int>(index) % noiseSize;
}

void advance(double dt, Tarvo::Particle& particle, const NoiseTable& noise)
{
    for (int s = 0; s < subSteps; ++s) {
        double z = particle.position.z + stepRate * dt;
        if (z > wrapZ)
            z = -wrapZ;
        // The spring is solved exactly over the sub-step: the height's offset from rest and
        // the velocity turn through the angle k x dt together, which keeps each flake's
        // swing the size it was for any frame time. (Stepping the offset with the old
        // velocity and the velocity with the old offset enlarges the swing every step, and
        // the flakes soon leave the slab.)
        const double angle = stepRate * dt;
        const double c = std::isfinite(angle) ? std::cos(angle) : 1.0;
        const double sn = std::isfinite(angle) ? std::sin(angle) : 0.0;
        const double offset = static_cast<double>(particle.position.y) - particle.restPosition.y;
        const double vy = particle.velocity.y;
        const double newOffset = offset * c + vy * sn;
        const double newVy = vy * c - offset * sn + kickScale * noise[static_cast<std::size_t>(noiseIndex(dt, s))];
        particle.velocity.y = static_cast<float>(newVy);
        particle.position.y = static_cast<float>(particle.restPosition.y + newOffset);
        particle.position.z = static_cast<float>(z);
    }
}

} // namespace snow

SnowParticles::SnowParticles()
    : Tarvo::Particlecontainer(snow::poolSize, "./data/img/particle.png")
{
    noise.fill(0.0);
    initParticles();
    for (int j = 0; j < snow::noiseSize; ++j)
        noise[static_cast<std::size_t>(j)] = snow::noiseValue(static_cast<unsigned>(j));
}

void SnowParticles::updateParticle(double dt, Tarvo::Particle& particle)
{
    snow::advance(dt, particle, noise);
}

void SnowParticles::initParticles()
{
    for (int i = 0; i < particleCount; ++i)
        particles[static_cast<std::size_t>(i)] = snow::initialParticle(static_cast<unsigned>(i));
}
