// GPU time of benchmark frames and of the passes in them, as timer queries measured
// them, and the figures --bench prints from them. No GL here: GpuTimer takes the times.
#pragma once

#include <string>
#include <vector>

#include "capture/Progress.h"

namespace capture {

// A stretch of a frame between two framebuffer binds, named after the first fragment
// shader it drew with ("clear" when it only cleared the target it bound).
struct GpuPass {
    std::string name;
    double ms = 0.0;
};

struct GpuFrame {
    double ms = 0.0;
    std::vector<GpuPass> passes;
};

struct GpuSummary {
    FrameTimes frame;
    // In frame order, each named "NN_shader" (NN its place in the frame, from 01), with
    // its median over the frames whose passes have the first frame's names; a frame that
    // took another path (a pass more or less) is left out of these.
    std::vector<GpuPass> passes;
};

GpuSummary summariseGpu(const std::vector<GpuFrame>& frames);

// "./data/shaders/blurhoriz.fs" -> "blurhoriz"; "" for an empty path.
std::string shaderStem(const std::string& path);

} // namespace capture
