// Key line style: the fields of a key line located by their columns, and the same columns
// used again to write a new one.
#include "studio/KeyLineStyle.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "sync/Timeline.h"

namespace studio {

namespace {

struct Fields {
    std::string indent;
    std::size_t valueStart = 0, valueEnd = 0, typeStart = 0;
    std::string rowGap, typeGap;
    int decimals = -1;
    bool ok = false;
};

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

Fields locate(const std::string& line)
{
    Fields f;
    std::size_t at[6];
    std::size_t i = 0;
    for (int field = 0; field < 3; ++field) {
        const std::size_t gapStart = i;
        while (i < line.size() && blank(line[i]))
            ++i;
        if (field == 0)
            f.indent = line.substr(0, i);
        else if (field == 1)
            f.rowGap = line.substr(gapStart, i - gapStart);
        else
            f.typeGap = line.substr(gapStart, i - gapStart);
        at[2 * field] = i;
        while (i < line.size() && !blank(line[i]) && line[i] != '#')
            ++i;
        at[2 * field + 1] = i;
        if (at[2 * field] == at[2 * field + 1])
            return f;
    }
    f.valueStart = at[2];
    f.valueEnd = at[3];
    f.typeStart = at[4];
    f.ok = true;
    const std::string value = line.substr(at[2], at[3] - at[2]);
    const std::size_t dot = value.find('.');
    if (dot != std::string::npos && value.find_first_of("eE") == std::string::npos)
        f.decimals = static_cast<int>(value.size() - dot - 1);
    return f;
}

} // namespace

std::string shortestValue(float value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

KeyLineStyle KeyLineStyle::learn(const std::vector<std::string>& keyLines)
{
    KeyLineStyle style;
    std::vector<Fields> seen;
    for (const std::string& line : keyLines) {
        Fields f = locate(line);
        if (f.ok)
            seen.push_back(std::move(f));
    }
    if (seen.empty())
        return style;
    const Fields& first = seen.front();
    style.indent = first.indent;
    style.rowGap = first.rowGap;
    style.typeGap = first.typeGap;
    // Tabs make columns depend on the reader's tab width: gaps are copied instead.
    bool sameColumns = first.indent.find('\t') == std::string::npos && first.rowGap.find('\t') == std::string::npos;
    bool sameDecimals = true;
    for (const Fields& f : seen) {
        sameColumns = sameColumns && f.valueEnd == first.valueEnd && f.typeStart == first.typeStart &&
            f.indent == first.indent;
        sameDecimals = sameDecimals && f.decimals == first.decimals;
    }
    // One line alone says nothing about columns unless it pads them.
    if (seen.size() == 1)
        sameColumns = sameColumns && (first.rowGap.size() > 1 || first.typeGap.size() > 1);
    style.columns = sameColumns;
    style.valueEnd = first.valueEnd;
    style.typeStart = first.typeStart;
    style.decimals = sameDecimals ? first.decimals : -1;
    return style;
}

std::string KeyLineStyle::format(const TrackKey& key, const std::string& comment) const
{
    std::string value = shortestValue(key.value);
    if (decimals >= 0 && decimals <= 9) {
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%.*f", decimals, static_cast<double>(key.value));
        if (std::strtof(fixed, nullptr) == key.value)
            value = fixed;
    }
    const char* type = interpolationName(key.type);
    std::string line = indent + std::to_string(key.row);
    if (columns) {
        const std::size_t pad = valueEnd > line.size() + value.size() ? valueEnd - line.size() - value.size() : 1;
        line += std::string(std::max<std::size_t>(pad, 1), ' ') + value;
        line += std::string(typeStart > line.size() ? typeStart - line.size() : 1, ' ');
    } else {
        line += (rowGap.empty() ? " " : rowGap) + value + (typeGap.empty() ? " " : typeGap);
    }
    line += type ? type : "step";
    if (!comment.empty())
        line += "  " + comment;
    return line;
}

} // namespace studio
