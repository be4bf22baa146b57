// Microseconds per frame of the snow system: the update arithmetic for the whole pool on
// its own, and the container's whole frame (update, upload of both streams, the one
// instanced draw into a 960x540 target, the farthest-first sort), finished with glFinish.
// Also counts heap allocations during the timed frames: the container allocates only when
// it is built.
//
// Usage: particles_bench [frames]. Runs from the source tree, where "./data/shaders/"
// holds the particle shaders. Results go to standard output as "name value" lines.
#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/Fbo.h"
#include "engine/Transform.h"
#include "heapwatch/HeapWatch.h"
#include "particles/SnowParticles.h"
#include "runtime/Demo.h"
#include "support/BenchSupport.h"

namespace {

constexpr int defaultFrames = 300;
constexpr int warmupFrames = 10;
constexpr double frameMs = 1000.0 / 60.0;

using Clock = std::chrono::steady_clock;

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : defaultFrames;
    if (!benchsupport::enterFolder(VANTOR_SOURCE_DIR, "particles_bench"))
        return 1;

    // The arithmetic alone: every flake advanced by one 60 Hz frame.
    {
        snow::NoiseTable noise{};
        for (int j = 0; j < snow::noiseSize; ++j)
            noise[static_cast<std::size_t>(j)] = snow::noiseValue(static_cast<unsigned>(j));
        std::vector<Tarvo::Particle> pool;
        for (unsigned i = 0; i < snow::poolSize; ++i)
            pool.push_back(snow::initialParticle(i));
        std::vector<double> times;
        for (int f = 0; f < frames; ++f) {
            const auto start = Clock::now();
            for (Tarvo::Particle& p : pool)
                snow::advance(frameMs, p, noise);
            times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        std::printf("advance_us_median %.2f\n", benchsupport::percentile(times, 50));
    }

    Tarvo::DemoOptions options;
    options.windowed = true;
    options.visible = false;
    options.musicPath.clear();
    try {
        benchsupport::QuietStdout quiet;
        gDemo = new Tarvo::aDemo(960, 540, options);
    } catch (const Tarvo::StartupError& error) {
        std::fprintf(stderr, "particles_bench: no OpenGL 3.3 context (%s); run under xvfb-run\n", error.what());
        return 1;
    }

    SnowParticles* snowSystem = nullptr;
    Tarvo::Fbo* target = nullptr;
    {
        benchsupport::QuietStdout quiet;
        snowSystem = new SnowParticles();
        target = new Tarvo::Fbo(960, 540, 1, 1, GL_RGBA16F);
    }
    const glm::mat4 projection = Tarvo::perspective(60.0f, 16.0f / 9.0f, 1.0f, 3000.0f);
    const glm::mat4 view = Tarvo::lookAt(glm::vec3(0, 250, -400), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);

    std::vector<double> times;
    long allocationsDuring = 0;
    for (int f = -warmupFrames; f < frames; ++f) {
        target->bind();
        const long before = heapwatch::allocations();
        const auto start = Clock::now();
        snowSystem->setUniforms(projection * view, glm::vec3(48, 0, 0), glm::vec3(0, 48, 0));
        snowSystem->draw(f * frameMs, view);
        glFinish();
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (f >= 0) {
            allocationsDuring += heapwatch::allocations() - before;
            times.push_back(us);
        }
        target->unbind();
    }
    std::printf("particles %d\n", snowSystem->getParticleCount());
    std::printf("frame_us_median %.1f\n", benchsupport::percentile(times, 50));
    std::printf("frame_us_p95 %.1f\n", benchsupport::percentile(times, 95));
    std::printf("allocations_per_frame %.2f\n", static_cast<double>(allocationsDuring) / frames);
    std::printf("pool_bytes %zu\n", sizeof(Tarvo::Particle) * static_cast<std::size_t>(snowSystem->getPoolSize()) +
                                        snowSystem->getPositionSizeStream().size() * sizeof(float) +
                                        snowSystem->getColourStream().size());
    return 0;
}
