#include "studio/OverlayText.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace studio {

namespace {

constexpr int trackCellWidth = 24;

void addWrapped(std::vector<OverlayLine>& lines, const std::string& text, int columns, bool alert = false)
{
    const size_t width = static_cast<size_t>(std::max(columns, 1));
    if (text.empty()) {
        lines.emplace_back();
        return;
    }
    for (size_t at = 0; at < text.size(); at += width)
        lines.push_back(OverlayLine{text.substr(at, width), alert});
}

// A compile log is several lines; each is shown, blank ones left out.
void addLog(std::vector<OverlayLine>& lines, const std::string& log, int columns)
{
    std::istringstream stream(log);
    for (std::string line; std::getline(stream, line);)
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            addWrapped(lines, "  " + line, columns, true);
}

std::string format(const char* pattern, double a, double b = 0.0, double c = 0.0)
{
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

} // namespace

void limitLines(std::vector<OverlayLine>& out, int lines)
{
    const size_t most = static_cast<size_t>(std::max(lines, 1));
    if (out.size() <= most)
        return;
    const size_t hidden = out.size() - most + 1;
    out.resize(most - 1);
    out.push_back(OverlayLine{"... " + std::to_string(hidden) + " more lines (Tab: the track view)", false});
}

std::vector<OverlayLine> overlayLines(const OverlayFacts& facts, int columns)
{
    std::vector<OverlayLine> lines;
    addWrapped(lines,
        format("row %.2f  bar ", facts.row) + barBeat(facts.row) + "  " + clockTime(facts.row) +
            format("  %.1f ms/frame", facts.msPerFrame),
        columns);
    std::string state = facts.paused ? "paused" : "playing";
    state += format("  loop %g-%g ", facts.loop.from, facts.loop.to) + (facts.loop.on ? "on" : "off");
    state += format("  end %g", facts.endRow);
    addWrapped(lines, state, columns);

    if (facts.reloads) {
        const ReloadResult* last = facts.reloads->last();
        addWrapped(lines, last ? "last: " + last->described() : "last: no reload yet", columns, last && !last->ok);
        if (last)
            for (const std::string& warning : last->warnings)
                addWrapped(lines, warning, columns, true);
        for (const ReloadResult& broken : facts.reloads->failing()) {
            addWrapped(lines, "still broken: " + broken.path, columns, true);
            for (const std::string& error : broken.errors)
                addLog(lines, error, columns);
        }
    }

    if (facts.tracks.empty())
        return lines;
    lines.emplace_back();
    const size_t perLine = static_cast<size_t>(std::max(1, columns / trackCellWidth));
    std::string line;
    for (size_t i = 0; i < facts.tracks.size(); ++i) {
        char cell[64];
        std::snprintf(cell, sizeof cell, "%-13.13s%10.3f", facts.tracks[i].first.c_str(),
            static_cast<double>(facts.tracks[i].second));
        if (i % perLine != 0)
            line += " ";
        line += cell;
        if (i % perLine == perLine - 1 || i + 1 == facts.tracks.size()) {
            addWrapped(lines, line, columns);
            line.clear();
        }
    }
    return lines;
}

} // namespace studio
