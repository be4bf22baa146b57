// Times the passes of a frame: each lap ends by waiting for the driver, so it holds what
// was asked of the driver since the lap before.
#pragma once

#include <GL/glew.h>

#include <chrono>

#include "support/BenchSupport.h"

namespace framebench {

// How long a pass took: wall clock, and CPU time of the whole process (the driver's
// rendering threads included), both in milliseconds.
struct PassTime {
    double wall = 0.0;
    double cpu = 0.0;
};

class PassClock {
public:
    PassClock() : wallStart(std::chrono::steady_clock::now()), cpuStart(benchsupport::processCpuSeconds()) {}

    PassTime lap()
    {
        glFinish();
        const auto wallNow = std::chrono::steady_clock::now();
        const double cpuNow = benchsupport::processCpuSeconds();
        PassTime time;
        time.wall = std::chrono::duration<double, std::milli>(wallNow - wallStart).count();
        time.cpu = (cpuNow - cpuStart) * 1e3;
        wallStart = wallNow;
        cpuStart = cpuNow;
        return time;
    }

private:
    std::chrono::steady_clock::time_point wallStart;
    double cpuStart;
};

} // namespace framebench
