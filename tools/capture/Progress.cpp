// Progress reporting and benchmark figures.
#include "capture/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace capture {

namespace {
constexpr double terminalPeriod = 1.0;
constexpr double logPeriod = 5.0;
} // namespace

Progress::Progress(long total, FILE* stream)
    : total(total), stream(stream), terminal(isatty(fileno(stream)) == 1), start(Clock::now()), lastLine(start)
{
}

void Progress::update(long done)
{
    const Clock::time_point now = Clock::now();
    const double sinceLine = std::chrono::duration<double>(now - lastLine).count();
    if (done >= total || sinceLine < (terminal ? terminalPeriod : logPeriod))
        return;
    lastLine = now;
    printed = true;
    const std::string line = progressLine(done, total, std::chrono::duration<double>(now - start).count());
    std::fprintf(stream, terminal ? "\rvantor-capture: %s   " : "vantor-capture: %s\n", line.c_str());
    std::fflush(stream);
}

void Progress::finish(long done)
{
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (printed && terminal)
        std::fputc('\n', stream);
    std::fprintf(stream, "vantor-capture: %ld frames in %.1f s (%.1f fps)\n", done, seconds,
                 seconds > 0.0 ? done / seconds : 0.0);
    std::fflush(stream);
}

std::string progressLine(long done, long total, double seconds)
{
    const double fps = seconds > 0.0 ? done / seconds : 0.0;
    const long left = fps > 0.0 ? std::lround((total - done) / fps) : 0;
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "frame %ld/%ld (%.1f%%), %.1f fps, %ld:%02ld left", done, total,
                  total > 0 ? 100.0 * done / total : 0.0, fps, left / 60, left % 60);
    return buffer;
}

FrameTimes frameTimes(std::vector<double> ms)
{
    FrameTimes times;
    if (ms.empty())
        return times;
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    times.min = ms.front();
    times.median = n % 2 ? ms[n / 2] : 0.5 * (ms[n / 2 - 1] + ms[n / 2]);
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n)));
    times.p95 = ms[std::clamp<size_t>(rank, 1, n) - 1];
    return times;
}

} // namespace capture
