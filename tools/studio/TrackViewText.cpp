#include "studio/TrackViewText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "studio/Transport.h"

namespace studio {

namespace {

constexpr int rowColumn = 7;  // "  12345"
constexpr int cellWidth = 12; // "|" + 10 characters of value + letter

std::string cell(const DocumentTrack* track, int row, std::size_t& next)
{
    char text[48];
    if (track) {
        while (next < track->keys.size() && track->keys[next].key.row < row)
            ++next;
        if (next < track->keys.size() && track->keys[next].key.row == row) {
            const TrackKey& key = track->keys[next].key;
            std::snprintf(text, sizeof text, "|%10.10s%c", shortestValue(key.value).c_str(), interpolationLetter(key.type));
            return text;
        }
        // Between keys that interpolate, a dot says the value moves here.
        if (next > 0 && next < track->keys.size() && track->keys[next - 1].key.type != Step)
            return "|         . ";
    }
    return "|           ";
}

} // namespace

int cursorRow(double row)
{
    // A row a hair below a whole row (a seek lands on the nearest sample) counts as on it.
    return static_cast<int>(std::floor(row + 0.002));
}

char interpolationLetter(int type)
{
    switch (type) {
    case Step: return 'S';
    case Linear: return 'L';
    case Smooth: return 'M';
    case Quadratic: return 'Q';
    default: return '?';
    }
}

std::vector<OverlayLine> trackViewLines(const TrackViewFacts& facts, int columns, int lines, TrackViewLayout* layout)
{
    columns = std::max(columns, 1);
    lines = std::max(lines, 1);
    std::vector<OverlayLine> out;
    auto fit = [&](std::string text) { return text.size() > size_t(columns) ? text.substr(0, size_t(columns)) : text; };

    const int row = cursorRow(facts.row);
    std::string head = facts.file + (facts.dirty ? " * unsaved" : "") + "  row " + std::to_string(row) + "  bar " +
        barBeat(facts.row);
    TrackViewLayout shape;
    const int count = static_cast<int>(facts.names.size());
    shape.trackColumns = std::max(1, (columns - rowColumn) / cellWidth);
    const int cursorTrack = std::clamp(facts.cursorTrack, 0, std::max(0, count - 1));
    shape.firstTrack = std::clamp(cursorTrack - shape.trackColumns / 2, 0, std::max(0, count - shape.trackColumns));
    const int lastTrack = std::min(count, shape.firstTrack + shape.trackColumns);
    if (count > lastTrack || shape.firstTrack > 0)
        head += "  tracks " + std::to_string(shape.firstTrack + 1) + "-" + std::to_string(lastTrack) + " of " +
            std::to_string(count);
    if (!facts.typing.empty())
        head += "  value: " + facts.typing + "_";
    out.push_back(OverlayLine{fit(head), false});
    if (!facts.message.empty())
        out.push_back(OverlayLine{fit(facts.message), facts.messageAlert});

    std::string names = "    row";
    for (int t = shape.firstTrack; t < lastTrack; ++t) {
        char text[32];
        std::snprintf(text, sizeof text, "%c%-11.11s", t == cursorTrack ? '>' : '|', facts.names[size_t(t)].c_str());
        names += text;
    }
    out.push_back(OverlayLine{fit(names), false});

    shape.headerLines = static_cast<int>(out.size());
    shape.rowLines = std::max(1, lines - shape.headerLines);
    shape.firstRow = row - shape.rowLines / 2;

    std::vector<const DocumentTrack*> tracks;
    std::vector<std::size_t> next;
    for (int t = shape.firstTrack; t < lastTrack; ++t) {
        tracks.push_back(facts.document ? facts.document->track(facts.names[size_t(t)]) : nullptr);
        next.push_back(0);
    }
    std::vector<Section> sections;
    if (facts.document)
        sections = facts.document->sections();
    const int selFrom = std::min(facts.anchorRow, row), selTo = std::max(facts.anchorRow, row);
    const int selLeft = std::min(facts.anchorTrack, cursorTrack), selRight = std::max(facts.anchorTrack, cursorTrack);

    for (int i = 0; i < shape.rowLines; ++i) {
        const int r = shape.firstRow + i;
        const bool bar = r % showtime::rowsPerBar == 0;
        const bool beat = r % showtime::rowsPerBeat == 0;
        char number[16];
        std::snprintf(number, sizeof number, "%c%6d", bar ? '=' : beat ? '-' : ' ', r);
        std::string text = number;
        for (size_t c = 0; c < tracks.size(); ++c) {
            std::string part = cell(tracks[c], r, next[c]);
            const int t = shape.firstTrack + static_cast<int>(c);
            if (facts.selecting && r >= selFrom && r <= selTo && t >= selLeft && t <= selRight)
                part[0] = '#';
            text += part;
        }
        for (const Section& section : sections)
            if (section.from == r)
                text += " [" + section.name + "]";
        OverlayLine line{fit(text), false};
        line.highlight = r == row;
        line.rule = bar;
        out.push_back(std::move(line));
    }
    if (layout)
        *layout = shape;
    return out;
}

} // namespace studio
