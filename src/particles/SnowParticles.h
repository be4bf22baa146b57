// Drifting snow: 512 textured billboards spread over a wide, flat slab of space that drift
// along z, wrap around at its far end and bob about their own rest heights under a spring
// pull and a noise kick shared by all flakes.
#pragma once

#include <array>

#include "particles/Particlecontainer.h"

namespace snow {

constexpr int poolSize = 512;
constexpr int noiseSize = 1024;
// Rate of drift and spring per unit of elapsed time, applied in each of two sub-steps.
constexpr double stepRate = 0.0025;
constexpr double kickScale = 0.01;
constexpr double wrapZ = 800.0;
constexpr double flakeSize = 0.125;

using NoiseTable = std::array<double, noiseSize>;

// Particle i as the initialiser places it (alpha fully opaque).
Tarvo::Particle initialParticle(unsigned i);
// Entry j of the shared noise table; entry 0 is 1.
double noiseValue(unsigned j);
// The table entry a sub-step reads: elapsed time truncated toward zero, plus the
// sub-step, wrapped into the table (negative and non-finite times included).
int noiseIndex(double dt, int subStep);
// Advances one flake by dt in two sub-steps: each drifts z (wrapping past the far end),
// swings the height about its rest height by the spring's exact motion over k x dt, and
// kicks the velocity by the shared noise. The swing stays bounded for any dt.
void advance(double dt, Tarvo::Particle& particle, const NoiseTable& noise);

} // namespace snow

class SnowParticles : public Tarvo::Particlecontainer {
public:
    // The pool of 512 with "./data/img/particle.png", placed, then the noise table filled.
    SnowParticles();
    ~SnowParticles() = default;

    void updateParticle(double dt, Tarvo::Particle& particle) override;
    void initParticles() override;

    const snow::NoiseTable& getNoise() const { return noise; }

private:
    snow::NoiseTable noise{};
};
