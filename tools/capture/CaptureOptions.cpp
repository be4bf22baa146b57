// Command-line parsing for the offline renderer. Every error names the option and the
// text that was wrong, and the whole line is checked before anything is opened.
#include "capture/CaptureOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "base/CommandLine.h"
#include "base/FileIdentity.h"
#include "capture/FramePlan.h"

namespace capture {

using Tarvo::ParseResult;

namespace {

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

bool isPlainInteger(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool parseRows(const std::string& text, std::vector<RowRequest>& rows, std::string& error)
{
    std::set<std::string> names;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        RowRequest request;
        if (!parseRow(item, request.row)) {
            error = "--rows: '" + item + "' is not a row (a number from 0 to 1e8)";
            return false;
        }
        request.name = rowName(item, request.row);
        // Two rows with one file name would be written by two encoders at once.
        if (!names.insert(request.name).second) {
            error = "--rows: row '" + item + "' is given twice (row_" + request.name + ".png)";
            return false;
        }
        rows.push_back(request);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// The combinations that cannot be rendered: each gets its own message.
bool checkCombinations(const CaptureOptions& o, const std::set<std::string>& given, std::string& error)
{
    const auto has = [&](const char* name) { return given.count(name) != 0; };
    if (has("--bench") && (has("--out") || has("--y4m") || has("--wav") || has("--rows"))) {
        error = "--bench renders without writing; it cannot be combined with --out, --y4m, --wav or --rows";
        return false;
    }
    if (has("--frames") && (has("--rows") || has("--bench") || has("--wav"))) {
        error = "--frames renders part of a span; it cannot be combined with --rows, --bench or --wav "
                "(a run without --frames writes the span's music)";
        return false;
    }
    if (has("--plan") && (has("--out") || has("--y4m") || has("--bench") || has("--rows") || has("--frames"))) {
        error = "--plan prints the span's plan; it cannot be combined with --out, --y4m, --bench, --rows or "
                "--frames (--wav can go with it)";
        return false;
    }
    if (has("--out") && has("--y4m")) {
        error = "--out and --y4m are two ways of writing the frames; give one of them";
        return false;
    }
    if (has("--rows")) {
        if (has("--y4m") || has("--wav") || has("--from") || has("--to")) {
            error = "--rows renders single rows as PNG files; it cannot be combined with --y4m, --wav, --from or --to";
            return false;
        }
        if (!has("--out")) {
            error = "--rows needs --out DIR for its row_R.png files";
            return false;
        }
    }
    if (o.to && !(*o.to > o.from)) {
        error = "--to must be greater than --from";
        return false;
    }
    if (o.to && (*o.to - o.from) * o.fps / rowsPerSecond > static_cast<double>(maxSpanFrames)) {
        error = "--from " + std::to_string(o.from) + " --to " + std::to_string(*o.to) + " is more than " +
                std::to_string(maxSpanFrames) + " frames";
        return false;
    }
    if (!o.rendersFrames() && o.wavPath.empty() && !o.plan) {
        error = "nothing to do: give --out DIR, --y4m FILE, --wav FILE, --plan or --bench N";
        return false;
    }
    // Files, not spellings: "x.wav" and "./x.wav", or a link and what it leads to, are one
    // file, and one output would overwrite the other. --y4m - is standard output.
    if (!o.wavPath.empty() && !o.y4mPath.empty() &&
        Tarvo::sameFile(o.wavPath, o.y4mPath == "-" ? std::string("/dev/stdout") : o.y4mPath)) {
        error = "--wav " + o.wavPath + " and --y4m " + o.y4mPath + " are the same file";
        return false;
    }
    return true;
}

} // namespace

bool parseRow(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < 0.0 || parsed > maxRow)
        return false;
    value = parsed;
    return true;
}

bool parseFrameRange(const std::string& text, FrameRange& range)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    long first = 0;
    long end = 0;
    if (!Tarvo::parseWholeNumber(text.substr(0, colon), 0, maxSpanFrames - 1, first) ||
        !Tarvo::parseWholeNumber(text.substr(colon + 1), 1, maxSpanFrames, end) || end <= first)
        return false;
    range.first = first;
    range.end = end;
    return true;
}

std::string rowName(const std::string& text, double value)
{
    if (isPlainInteger(text))
        return text;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

ParseResult parseCaptureArgs(const std::vector<std::string>& args, const std::vector<std::string>& knownScenes,
                             CaptureOptions& o, std::string& error)
{
    static const std::set<std::string> valued = {"--size", "--fps", "--from", "--to", "--out", "--y4m",
                                                 "--wav", "--rows", "--scene", "--bench", "--frames"};
    std::set<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        if (name == "--help" || name == "-h")
            return ParseResult::Help;
        if (name == "--plan" || name == "--headless") {
            if (!given.insert(name).second) {
                error = name + " is given more than once";
                return ParseResult::Error;
            }
            (name == "--plan" ? o.plan : o.headless) = true;
            continue;
        }
        Tarvo::OptionWord option = Tarvo::splitOption(name);
        name = option.name;
        if (!valued.count(name)) {
            error = name.rfind("-", 0) == 0 ? "unknown option '" + name + "'"
                                            : "unexpected argument '" + name + "'";
            return ParseResult::Error;
        }
        if (!Tarvo::takeOptionValue(args, i, option, error))
            return ParseResult::Error;
        value = option.value;
        if (!given.insert(name).second) {
            error = name + " is given more than once";
            return ParseResult::Error;
        }

        long number = 0;
        double row = 0.0;
        if (name == "--size") {
            if (!Tarvo::parseFrameSize(value, o.width, o.height)) {
                error = Tarvo::frameSizeError(value);
                return ParseResult::Error;
            }
        } else if (name == "--fps") {
            if (!Tarvo::parseWholeNumber(value, 1, maxFps, number)) {
                error = "--fps: '" + value + "' is not a whole number from 1 to " + std::to_string(maxFps);
                return ParseResult::Error;
            }
            o.fps = static_cast<int>(number);
        } else if (name == "--from" || name == "--to") {
            if (!parseRow(value, row)) {
                error = name + ": '" + value + "' is not a row (a number from 0 to 1e8)";
                return ParseResult::Error;
            }
            if (name == "--from")
                o.from = row;
            else
                o.to = row;
        } else if (name == "--bench") {
            if (!Tarvo::parseWholeNumber(value, 1, maxBenchFrames, number)) {
                error = "--bench: '" + value + "' is not a frame count from 1 to " + std::to_string(maxBenchFrames);
                return ParseResult::Error;
            }
            o.benchFrames = number;
        } else if (name == "--frames") {
            FrameRange range;
            if (!parseFrameRange(value, range)) {
                error = "--frames: '" + value + "' is not FIRST:END, frame numbers from 0 with FIRST < END";
                return ParseResult::Error;
            }
            o.frames = range;
        } else if (name == "--rows") {
            if (!parseRows(value, o.rows, error))
                return ParseResult::Error;
        } else if (name == "--scene") {
            bool known = false;
            for (const std::string& scene : knownScenes)
                known = known || scene == value;
            if (!known) {
                error = "--scene: unknown scene '" + value + "' (known: " + joined(knownScenes) + ")";
                return ParseResult::Error;
            }
            o.scene = value;
        } else {
            if (value.empty()) {
                error = name + " needs a non-empty value";
                return ParseResult::Error;
            }
            if (name == "--wav" && value == "-") {
                error = "--wav needs a file name; only --y4m can write to standard output";
                return ParseResult::Error;
            }
            (name == "--out" ? o.outDir : name == "--y4m" ? o.y4mPath : o.wavPath) = value;
        }
    }
    return checkCombinations(o, given, error) ? ParseResult::Ok : ParseResult::Error;
}

std::string usageText(const std::vector<std::string>& knownScenes)
{
    return "usage: vantor-capture [options]\n"
           "Renders the show offline, frame by frame, at a fixed frame rate. Frame i is at row\n"
           "FROM + i*20/FPS and at time row/20 s; the same arguments give the same frames.\n"
           "Run it where ./data holds the show's music, tracks and shaders.\n"
           "\n"
           "  --size WxH      picture size (default 1920x1080)\n"
           "  --fps N         frames per second (default 60)\n"
           "  --from ROW      first row (default 0)\n"
           "  --to ROW        end row, not rendered (default: the first frame whose row gives\n"
           "                  the end track \"e\" 1.0 or less is the last one)\n"
           "  --out DIR       PNG frames DIR/frame_000000.png, ...\n"
           "  --y4m FILE      a YUV4MPEG2 stream instead (4:4:4, BT.709 limited range); - for\n"
           "                  standard output\n"
           "  --wav FILE      the music of the span [FROM, TO) as 16-bit PCM, sample-exact;\n"
           "                  alone, it renders nothing\n"
           "  --frames A:B    only frames A to B-1 of the span, drawn exactly as a run of the\n"
           "                  whole span draws them: the frame before A is drawn first without\n"
           "                  being written, and a scene that depends on every earlier frame\n"
           "                  is stepped through them from FROM (for splitting a capture into\n"
           "                  parts rendered side by side); PNGs keep the span's numbers\n"
           "  --rows R1,R2    just these rows, as DIR/row_R.png (needs --out)\n"
           "  --scene NAME    the scene to render (known: " +
           joined(knownScenes) +
           "; default main)\n"
           "  --plan          print the span's plan on standard output, one \"key value\" a line\n"
           "                  (frames, fps, size, first_row, last_frame_row, end_row, capped,\n"
           "                  track_end_row, track_capped, music_rows, duration_s); renders\n"
           "                  nothing, and can go with --wav\n"
           "  --headless      draw off-screen through EGL, without a display (the default when\n"
           "                  no DISPLAY is set; Linux)\n"
           "  --bench N       render N frames from FROM without writing; prints startup_ms,\n"
           "                  frame_ms_min, frame_ms_median and frame_ms_p95 on standard output\n"
           "\n"
           "Progress goes to standard error. Exit status: 0 done, 1 failed, 2 bad arguments (or a\n"
           "size larger than this OpenGL can draw), 130 or 143 stopped by Ctrl-C or SIGTERM (a\n"
           "--y4m file is then not left behind; PNG frames already written stay).\n";
}

} // namespace capture
