// Progress lines for long captures on standard error, and the frame-time figures of a
// benchmark run.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace capture {

class Progress {
public:
    using Clock = std::chrono::steady_clock;

    // total frames; lines go to stream (standard error), rewriting one line on a terminal.
    Progress(long total, FILE* stream);
    // Called after each frame with the count done so far; prints at most once a second on
    // a terminal, every few seconds otherwise.
    void update(long done);
    // The closing summary: frames, seconds and frames a second.
    void finish(long done);

private:
    long total;
    FILE* stream;
    bool terminal;
    Clock::time_point start;
    Clock::time_point lastLine;
    bool printed = false;
};

// "frame 120/1800 (6.7%), 28.4 fps, 1:02 left"
std::string progressLine(long done, long total, double seconds);

struct FrameTimes {
    double min = 0.0;
    double median = 0.0;
    double p95 = 0.0; // nearest rank: the time that 95% of frames stay within
};

// Figures of a list of per-frame times; all zero for an empty list.
FrameTimes frameTimes(std::vector<double> ms);

} // namespace capture
