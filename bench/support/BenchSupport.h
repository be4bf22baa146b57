// Pieces every benchmark shares: the engine's and the readers' log lines kept off the
// figures, the process's CPU time, percentiles of a run's timings, and the folders a
// benchmark works in.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <iostream>
#include <vector>

namespace benchsupport {

// The arguments of the GL benchmarks: W H [FRAMES [EXTRA]], or nothing for the standard
// sizes, each of which then runs in a process of its own (one window, one context each).
struct SizeArguments {
    int width = 0;
    int height = 0;
    int frames = 0;
    double extra = 0.0; // the fourth argument, or its default
};

// Runs run(arguments) for the given size, or itself once per standard size. Bad
// arguments print the usage line and give 2.
template <typename Run>
int runSizes(int argc, char** argv, int defaultFrames, double defaultExtra, const char* extraName, Run run)
{
    if (argc >= 3) {
        SizeArguments a;
        a.width = std::atoi(argv[1]);
        a.height = std::atoi(argv[2]);
        a.frames = argc >= 4 ? std::max(1, std::atoi(argv[3])) : defaultFrames;
        a.extra = argc >= 5 ? std::atof(argv[4]) : defaultExtra;
        if (a.width <= 0 || a.height <= 0 || !(a.extra >= 0.0)) {
            std::fprintf(stderr, "usage: %s [width height [frames [%s]]]\n", argv[0], extraName);
            return 2;
        }
        return run(a);
    }
    int status = 0;
    for (const char* size : { "960 540", "1920 1080" }) {
        const std::string command = std::string("\"") + argv[0] + "\" " + size;
        if (std::system(command.c_str()) != 0)
            status = 1;
    }
    return status;
}

// Sends standard output to /dev/null while it lives. Benchmarks print their figures on
// standard output too, so what is still buffered is flushed to the right place each way.
class QuietStdout {
public:
    QuietStdout()
    {
        flush();
        saved = ::dup(STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::close(null);
        }
    }
    ~QuietStdout()
    {
        flush();
        if (saved >= 0) {
            ::dup2(saved, STDOUT_FILENO);
            ::close(saved);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    static void flush()
    {
        std::cout.flush();
        std::fflush(stdout);
    }

    int saved;
};

// CPU time of the whole process (every thread, user and system) in seconds. On a machine
// shared with other work it is steadier than the wall clock, which counts the waits for
// a core as well; a software GL driver's rendering threads are counted too.
inline double processCpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// The value percent of the way up the sorted values (the lower one where the rank falls
// between two), so 50 gives the median; 0 when there are none.
inline double percentile(std::vector<double> values, int percent)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t rank = values.size() * static_cast<std::size_t>(percent) / 100;
    return values[std::min(values.size() - 1, rank)];
}

// Makes folder the working folder (the repository, for its ./data); false, said on standard
// error after who, when it cannot.
inline bool enterFolder(const char* folder, const char* who)
{
    if (::chdir(folder) == 0)
        return true;
    std::fprintf(stderr, "%s: cannot enter %s\n", who, folder);
    return false;
}

// An empty folder for what a benchmark writes, named after it and this process so that
// runs side by side never share one; the benchmark removes it.
inline std::filesystem::path scratchFolder(const std::string& name)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace benchsupport
