// Medians of GPU pass times across benchmark frames.
#include "capture/GpuTimes.h"

#include <cstdio>

namespace capture {

std::string shaderStem(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

GpuSummary summariseGpu(const std::vector<GpuFrame>& frames)
{
    GpuSummary summary;
    std::vector<double> frameMs;
    for (const GpuFrame& frame : frames)
        frameMs.push_back(frame.ms);
    summary.frame = frameTimes(frameMs);
    if (frames.empty())
        return summary;

    const std::vector<GpuPass>& first = frames.front().passes;
    const auto samePath = [&](const GpuFrame& frame) {
        if (frame.passes.size() != first.size())
            return false;
        for (size_t i = 0; i < first.size(); ++i)
            if (frame.passes[i].name != first[i].name)
                return false;
        return true;
    };
    for (size_t i = 0; i < first.size(); ++i) {
        std::vector<double> ms;
        for (const GpuFrame& frame : frames)
            if (samePath(frame))
                ms.push_back(frame.passes[i].ms);
        char place[24];
        std::snprintf(place, sizeof place, "%02u_", static_cast<unsigned>(i + 1));
        summary.passes.push_back({place + first[i].name, frameTimes(ms).median});
    }
    return summary;
}

} // namespace capture
