// The offline renderer's command line: what to render (a span of rows, or single rows),
// at which size and frame rate, and where the frames and the music go. Parsing checks
// every value and every combination up front, so a capture never starts on bad input.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/CommandLine.h"

namespace capture {

// One row asked for with --rows: its value and the text its file is named after.
struct RowRequest {
    double row = 0.0;
    std::string name; // "R" in row_R.png
};

// --frames FIRST:END: frames [FIRST, END) of the span, one part of a capture split into
// several processes.
struct FrameRange {
    long first = 0;
    long end = 0;
};

struct CaptureOptions {
    int width = 1920;
    int height = 1080;
    int fps = 60;
    double from = 0.0;
    std::optional<double> to;       // empty: until the end track "e" drops to 1.0 or less
    std::string outDir;             // PNG frames (or rows) go here
    std::string y4mPath;            // "-" is standard output
    std::string wavPath;
    std::vector<RowRequest> rows;   // non-empty: just these rows, as row_R.png
    std::optional<FrameRange> frames; // empty: the whole span
    std::string scene = "main";
    long benchFrames = 0;           // > 0: render without writing and print timings
    bool plan = false;              // print the span's plan on standard output
    bool headless = false;          // draw off-screen without a display even if there is one
    bool help = false;

    bool rendersFrames() const { return !outDir.empty() || !y4mPath.empty() || benchFrames > 0; }
};

// Parses argv[1..]; options take their value as the next argument or after '='. Scene
// names are checked against knownScenes. On Error, error holds a one-line reason.
Tarvo::ParseResult parseCaptureArgs(const std::vector<std::string>& args,
                             const std::vector<std::string>& knownScenes,
                             CaptureOptions& options, std::string& error);

std::string usageText(const std::vector<std::string>& knownScenes);

// The file-name text of a row: the command-line text itself when it is a plain
// integer, else the value printed with %g.
std::string rowName(const std::string& text, double value);

// Numbers as the command line takes them: the whole text must be the number.
bool parseRow(const std::string& text, double& value);
bool parseFrameRange(const std::string& text, FrameRange& range);

constexpr int maxFps = 1000;
constexpr long maxBenchFrames = 1000000;
// Rows are seconds × 20, so this is well beyond any show (about 58 days).
constexpr double maxRow = 1.0e8;

} // namespace capture
