// Timeline text parser. It reports every problem it finds, each with its file and line,
// so one run of the compiler shows the author all the mistakes at once.
#include "sync/Timeline.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/FloatText.h"

namespace {

constexpr const char* interpolationNames[] = {"step", "linear", "smooth", "quadratic"};

std::vector<std::string> splitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream stream(line.substr(0, line.find('#')));
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

bool parseRow(const std::string& text, int32_t& row)
{
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return false;
    row = static_cast<int32_t>(value);
    return true;
}

bool parseValue(const std::string& text, float& value)
{
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    // Infinities, NaN and magnitudes a float cannot hold would reach the show as garbage.
    // The test is on the float the text becomes: the shortest text of the largest float
    // reads as a double a little above it, yet rounds to it.
    if (end == text.c_str() || *end != '\0' || !std::isfinite(parsed))
        return false;
    value = static_cast<float>(parsed);
    return std::isfinite(value);
}

class Parser {
public:
    Parser(const std::string& fileName, Timeline& timeline, std::vector<std::string>& errors)
        : fileName(fileName), timeline(timeline), errors(errors)
    {
    }

    void line(const std::string& text, int number)
    {
        lineNumber = number;
        const std::vector<std::string> words = splitWords(text);
        if (words.empty())
            return;
        if (words[0] == "track")
            trackLine(words);
        else
            keyLine(words);
    }

    void finish(int lastLine)
    {
        lineNumber = lastLine < 1 ? 1 : lastLine;
        if (timeline.tracks.empty() && !sawTrackLine)
            error("no tracks defined (start one with 'track NAME')");
    }

private:
    void error(const std::string& message)
    {
        errors.push_back(fileName + ":" + std::to_string(lineNumber) + ": " + message);
    }

    void trackLine(const std::vector<std::string>& words)
    {
        sawTrackLine = true;
        // Keys after a broken header are still checked, but against no track, so one bad
        // header does not also blame every key under it.
        current = -1;
        inTrack = true;
        if (words.size() != 2) {
            error("expected 'track NAME'");
            return;
        }
        const std::string& name = words[1];
        if (!isTrackName(name)) {
            error("bad track name '" + name + "' (use letters, digits, '_' and '-')");
            return;
        }
        for (const TimelineTrack& track : timeline.tracks) {
            if (track.name == name) {
                error("track '" + name + "' already defined on line " + std::to_string(track.line));
                return;
            }
        }
        timeline.tracks.push_back(TimelineTrack{name, {}, lineNumber});
        current = static_cast<int>(timeline.tracks.size()) - 1;
    }

    void keyLine(const std::vector<std::string>& words)
    {
        if (!inTrack) {
            error("key outside a track (start one with 'track NAME')");
            return;
        }
        if (words.size() != 3) {
            error("expected 'ROW VALUE INTERPOLATION'");
            return;
        }
        TrackKey key{0, 0.0f, Step};
        bool good = true;
        if (!parseRow(words[0], key.row)) {
            error("bad row '" + words[0] + "' (a whole number of rows)");
            good = false;
        }
        if (!parseValue(words[1], key.value)) {
            error("bad value '" + words[1] + "' (a finite decimal number)");
            good = false;
        }
        if (!interpolationFromName(words[2], key.type)) {
            error("unknown interpolation '" + words[2] + "' (step, linear, smooth or quadratic)");
            good = false;
        }
        if (!good || current < 0)
            return;
        std::vector<TrackKey>& keys = timeline.tracks[size_t(current)].keys;
        if (!keys.empty() && key.row <= keys.back().row) {
            error("row " + std::to_string(key.row) + " does not follow row " + std::to_string(keys.back().row) +
                " (rows must ascend)");
            return;
        }
        keys.push_back(key);
    }

    const std::string& fileName;
    Timeline& timeline;
    std::vector<std::string>& errors;
    int current = -1; // index of the track keys go to; -1 under a broken header
    bool inTrack = false;
    bool sawTrackLine = false;
    int lineNumber = 0;
};

} // namespace

bool parseTimeline(const std::string& text, const std::string& fileName, Timeline& timeline,
    std::vector<std::string>& errors)
{
    timeline.tracks.clear();
    const size_t errorsBefore = errors.size();
    Parser parser(fileName, timeline, errors);
    // Editors on Windows (Notepad) start a UTF-8 file with a byte order mark; it is not
    // part of the first line.
    static const char byteOrderMark[] = "\xEF\xBB\xBF";
    const bool marked = text.compare(0, 3, byteOrderMark) == 0;
    std::istringstream stream(marked ? text.substr(3) : text);
    std::string line;
    int number = 0;
    while (std::getline(stream, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        parser.line(line, number);
    }
    parser.finish(number);
    return errors.size() == errorsBefore;
}

bool loadTimeline(const std::string& path, Timeline& timeline, std::vector<std::string>& errors)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        errors.push_back(path + ":1: cannot open the timeline");
        timeline.tracks.clear();
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseTimeline(text.str(), path, timeline, errors);
}

std::string formatTimeline(const Timeline& timeline)
{
    std::string text;
    for (const TimelineTrack& track : timeline.tracks) {
        text += "track " + track.name + "\n";
        for (const TrackKey& key : track.keys) {
            char value[32];
            const char* end = Tarvo::writeShortest(value, value + sizeof value, key.value);
            const char* type = interpolationName(key.type);
            text += std::to_string(key.row) + " " + std::string(value, static_cast<std::size_t>(end - value)) + " "
                + (type ? type : "step") + "\n";
        }
    }
    return text;
}

const char* interpolationName(int32_t type)
{
    if (type < 0 || type > Quadratic)
        return nullptr;
    return interpolationNames[type];
}

bool interpolationFromName(const std::string& name, int32_t& type)
{
    for (int32_t i = 0; i <= Quadratic; ++i) {
        if (name == interpolationNames[i]) {
            type = i;
            return true;
        }
    }
    return false;
}

bool isTrackName(const std::string& name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '_' && c != '-')
            return false;
    }
    return true;
}
