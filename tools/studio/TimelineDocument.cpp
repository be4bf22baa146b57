// The document's edits all go one way: the new keys of the tracks they touch are worked
// out first, then turned into line splices against the index (keep, rewrite, remove or
// insert one line per key), so every edit, however large, is one step of the history and
// leaves the lines it did not touch alone.
#include "studio/TimelineDocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <string_view>

namespace studio {

namespace {

constexpr std::size_t lost = std::numeric_limits<std::size_t>::max();
constexpr std::size_t styleSamples = 8;

// The line without its line end.
std::string content(const std::string& line)
{
    std::size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n')
        --end;
    if (end > 0 && line[end - 1] == '\r')
        --end;
    return line.substr(0, end);
}

std::string ending(const std::string& line)
{
    return line.substr(content(line).size());
}

std::string commentOf(const std::string& line)
{
    const std::string body = content(line);
    const std::size_t hash = body.find('#');
    return hash == std::string::npos ? std::string() : body.substr(hash);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

// Calls word(start, length) for each word before any comment, as the compiler splits them.
template <typename Word>
void forEachWord(const std::string& line, Word word)
{
    const std::size_t end = std::min(line.find('#'), line.size());
    std::size_t i = 0;
    while (i < end) {
        while (i < end && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < end && !isBlank(line[i]))
            ++i;
        if (i > start)
            word(start, i - start);
    }
}

// Up to most words before any comment, as views into the line; how many there are
// (counting past most).
int splitWords(const std::string& line, std::string_view* out, int most)
{
    int count = 0;
    forEachWord(line, [&](std::size_t start, std::size_t length) {
        if (count < most)
            out[count] = std::string_view(line).substr(start, length);
        ++count;
    });
    return count;
}

// The words before any comment.
void words(const std::string& line, std::vector<std::string>& out)
{
    out.clear();
    forEachWord(line, [&](std::size_t start, std::size_t length) { out.emplace_back(line, start, length); });
}

bool sameKey(const TrackKey& a, const TrackKey& b)
{
    return a.row == b.row && a.value == b.value && a.type == b.type;
}

bool fitsRow(long long row)
{
    return row >= std::numeric_limits<std::int32_t>::min() && row <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

bool TimelineDocument::load(const std::string& source, const std::string& fileName, std::vector<std::string>& errors)
{
    Timeline parsed;
    if (!parseTimeline(source, fileName, parsed, errors))
        return false;
    text.clear();
    std::size_t start = 0;
    while (start < source.size()) {
        const std::size_t end = source.find('\n', start);
        const std::size_t next = end == std::string::npos ? source.size() : end + 1;
        text.emplace_back(source, start, next - start);
        start = next;
    }
    lineEnd = !text.empty() && text.front().size() >= 2 && text.front().compare(text.front().size() - 2, 2, "\r\n") == 0
        ? "\r\n"
        : "\n";
    // A file that ends without a line end keeps ending so; inside, every line has one.
    finalLineEnd = text.empty() || text.back().back() == '\n';
    if (!finalLineEnd)
        text.back() += lineEnd;
    history.clear();
    done = savedAt = 0;
    ++changes;
    reindex();
    return true;
}

std::string TimelineDocument::joined() const
{
    std::string out;
    std::size_t size = 0;
    for (const std::string& line : text)
        size += line.size();
    out.reserve(size);
    for (const std::string& line : text)
        out += line;
    if (!finalLineEnd && !text.empty() && out.size() >= lineEnd.size())
        out.resize(out.size() - lineEnd.size());
    return out;
}

const DocumentTrack* TimelineDocument::track(const std::string& name) const
{
    const int i = trackIndex(name);
    return i < 0 ? nullptr : &index[std::size_t(i)];
}

int TimelineDocument::trackIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < index.size(); ++i)
        if (index[i].name == name)
            return static_cast<int>(i);
    return -1;
}

Timeline TimelineDocument::timeline() const
{
    Timeline out;
    out.tracks.reserve(index.size());
    for (const DocumentTrack& t : index) {
        TimelineTrack track{t.name, {}, static_cast<int>(t.header) + 1};
        track.keys.reserve(t.keys.size());
        for (const DocumentKey& key : t.keys)
            track.keys.push_back(key.key);
        out.tracks.push_back(std::move(track));
    }
    return out;
}

std::vector<Section> TimelineDocument::sections() const
{
    std::vector<Section> found;
    std::vector<std::string> w;
    for (const std::string& line : text) {
        const std::string body = content(line);
        const std::size_t first = body.find_first_not_of(" \t");
        if (first == std::string::npos || body[first] != '#')
            continue;
        words(body.substr(first + 1), w);
        if (w.size() < 3 || w[1] != "rows")
            continue;
        char* end = nullptr;
        const long from = std::strtol(w[2].c_str(), &end, 10);
        if (end == w[2].c_str() || *end != '-')
            continue;
        const char* second = end + 1;
        const long to = std::strtol(second, &end, 10);
        if (end == second || *end != '\0' || !fitsRow(from) || !fitsRow(to))
            continue;
        found.push_back(Section{w[0], static_cast<int>(from), static_cast<int>(to)});
    }
    return found;
}

void TimelineDocument::reindex()
{
    // Run after every edit over the whole text, so it reads words in place instead of
    // copying them: a 100,000-key timeline re-indexes in a few milliseconds.
    index.clear();
    std::string_view w[4];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int count = splitWords(text[i], w, 4);
        if (count == 0)
            continue;
        if (count == 2 && w[0] == "track") {
            index.push_back(DocumentTrack{std::string(w[1]), i, {}});
            continue;
        }
        // The text compiled when it was loaded and every edit writes keys that compile,
        // so any other line with three words is a key of the track above it.
        if (index.empty() || count != 3)
            continue;
        TrackKey key{0, 0.0f, Step};
        long long row = 0;
        std::from_chars(w[0].data(), w[0].data() + w[0].size(), row);
        key.row = static_cast<std::int32_t>(row);
        key.value = static_cast<float>(std::strtod(w[1].data(), nullptr));
        for (std::int32_t type = Step; type <= Quadratic; ++type)
            if (w[2] == interpolationName(type))
                key.type = type;
        index.back().keys.push_back(DocumentKey{key, i});
    }
}

KeyLineStyle TimelineDocument::styleFor(int track) const
{
    std::vector<std::string> samples;
    auto sample = [&](const DocumentTrack& t) {
        for (std::size_t k = 0; k < t.keys.size() && samples.size() < styleSamples; ++k)
            samples.push_back(content(text[t.keys[k].line]));
    };
    if (track >= 0)
        sample(index[std::size_t(track)]);
    // A track without keys writes its first as the file's other tracks do.
    for (std::size_t t = 0; t < index.size() && samples.empty(); ++t)
        sample(index[t]);
    return KeyLineStyle::learn(samples);
}

void TimelineDocument::addTrackSplices(const TrackChange& change, std::vector<Splice>& splices) const
{
    const int t = change.track;
    if (t < 0) {
        if (change.keys.empty())
            return;
        // A new track goes at the end, after a blank line as the file separates tracks.
        const KeyLineStyle style = styleFor(-1);
        Splice add{text.size(), {}, {}};
        if (!text.empty() && !content(text.back()).empty())
            add.inserted.push_back(lineEnd);
        add.inserted.push_back("track " + change.name + lineEnd);
        for (const TrackKey& key : change.keys)
            add.inserted.push_back(style.format(key) + lineEnd);
        splices.push_back(std::move(add));
        return;
    }
    const DocumentTrack& track = index[std::size_t(t)];
    const KeyLineStyle style = styleFor(t);
    const std::vector<DocumentKey>& old = track.keys;
    const std::vector<TrackKey>& now = change.keys;
    std::map<std::size_t, Splice> inserts; // by the line they go before
    std::size_t o = 0;
    for (std::size_t n = 0; n <= now.size(); ++n) {
        // Old keys before this new one are gone; their comments stay as comment lines.
        while (o < old.size() && (n == now.size() || old[o].key.row < now[n].row)) {
            const std::string& line = text[old[o].line];
            const std::string comment = commentOf(line);
            Splice removal{old[o].line, {line}, {}};
            if (!comment.empty())
                removal.inserted.push_back(content(line).substr(0, content(line).find_first_not_of(" \t")) + comment +
                    ending(line));
            splices.push_back(std::move(removal));
            ++o;
        }
        if (n == now.size())
            break;
        if (o < old.size() && old[o].key.row == now[n].row) {
            if (!sameKey(old[o].key, now[n])) {
                const std::string& line = text[old[o].line];
                splices.push_back(Splice{old[o].line, {line}, {style.format(now[n], commentOf(line)) + ending(line)}});
            }
            ++o;
            continue;
        }
        // A new key goes after the old key before it, or before the first, or under the
        // header when the track has none.
        std::size_t before = track.header + 1;
        if (o > 0)
            before = old[o - 1].line + 1;
        else if (!old.empty())
            before = old[0].line;
        Splice& insert = inserts.try_emplace(before, Splice{before, {}, {}}).first->second;
        insert.inserted.push_back(style.format(now[n]) + lineEnd);
    }
    for (auto& [line, splice] : inserts)
        splices.push_back(std::move(splice));
}

bool TimelineDocument::change(std::vector<TrackChange> changes, std::string& why)
{
    std::vector<Splice> splices;
    for (const TrackChange& c : changes) {
        if (c.track < 0 && !isTrackName(c.name)) {
            why = "'" + c.name + "' is not a track name (letters, digits, '_' and '-')";
            return false;
        }
        addTrackSplices(c, splices);
    }
    // Insertions before a line come before the rewrite of that line.
    std::stable_sort(splices.begin(), splices.end(), [](const Splice& a, const Splice& b) {
        return a.at != b.at ? a.at < b.at : a.removed.size() < b.removed.size();
    });
    if (!splices.empty())
        commit(std::move(splices));
    return true;
}

void TimelineDocument::commit(std::vector<Splice> forward)
{
    Edit edit;
    long long offset = 0;
    for (const Splice& s : forward) {
        edit.backward.push_back(Splice{static_cast<std::size_t>(static_cast<long long>(s.at) + offset), s.inserted, s.removed});
        offset += static_cast<long long>(s.inserted.size()) - static_cast<long long>(s.removed.size());
    }
    edit.forward = std::move(forward);
    apply(text, edit.forward);
    history.resize(done);
    if (savedAt > done)
        savedAt = lost;
    history.push_back(std::move(edit));
    ++done;
    ++changes;
    reindex();
}

void TimelineDocument::apply(std::vector<std::string>& lines, const std::vector<Splice>& splices)
{
    std::vector<std::string> out;
    out.reserve(lines.size() + 16);
    std::size_t at = 0;
    for (const Splice& s : splices) {
        for (; at < s.at; ++at)
            out.push_back(std::move(lines[at]));
        out.insert(out.end(), s.inserted.begin(), s.inserted.end());
        at += s.removed.size();
    }
    for (; at < lines.size(); ++at)
        out.push_back(std::move(lines[at]));
    lines.swap(out);
}

bool TimelineDocument::undo()
{
    if (!canUndo())
        return false;
    --done;
    apply(text, history[done].backward);
    ++changes;
    reindex();
    return true;
}

bool TimelineDocument::redo()
{
    if (!canRedo())
        return false;
    apply(text, history[done].forward);
    ++done;
    ++changes;
    reindex();
    return true;
}

bool TimelineDocument::setKey(const std::string& name, long long row, double value, int type, std::string& why)
{
    if (!fitsRow(row)) {
        why = "row " + std::to_string(row) + " is outside the rows a track holds";
        return false;
    }
    const float single = static_cast<float>(value);
    if (!std::isfinite(value) || !std::isfinite(single)) {
        why = "the value is not a finite number a track holds";
        return false;
    }
    if (type > Quadratic) {
        why = "unknown interpolation";
        return false;
    }
    const int t = trackIndex(name);
    std::vector<TrackKey> keys;
    if (t >= 0)
        for (const DocumentKey& k : index[std::size_t(t)].keys)
            keys.push_back(k.key);
    const auto at = std::lower_bound(keys.begin(), keys.end(), row,
        [](const TrackKey& k, long long r) { return k.row < r; });
    if (at != keys.end() && at->row == row) {
        at->value = single;
        if (type >= 0)
            at->type = type;
    } else {
        const std::int32_t inherited = at == keys.begin() ? Linear : std::prev(at)->type;
        keys.insert(at, TrackKey{static_cast<std::int32_t>(row), single, type >= 0 ? type : inherited});
    }
    return change({TrackChange{t, name, std::move(keys)}}, why);
}

bool TimelineDocument::deleteKey(const std::string& name, long long row, std::string& why)
{
    const int t = trackIndex(name);
    if (t < 0) {
        why = "no track '" + name + "' in the timeline";
        return false;
    }
    std::vector<TrackKey> keys;
    bool found = false;
    for (const DocumentKey& k : index[std::size_t(t)].keys) {
        if (k.key.row == row)
            found = true;
        else
            keys.push_back(k.key);
    }
    if (!found) {
        why = "no key at row " + std::to_string(row) + " in track " + name;
        return false;
    }
    return change({TrackChange{t, name, std::move(keys)}}, why);
}

bool TimelineDocument::cycleInterpolation(const std::string& name, long long row, std::string& why)
{
    const int t = trackIndex(name);
    std::vector<TrackKey> keys;
    bool found = false;
    if (t >= 0) {
        for (const DocumentKey& k : index[std::size_t(t)].keys) {
            keys.push_back(k.key);
            if (k.key.row == row) {
                keys.back().type = k.key.type >= Step && k.key.type < Quadratic ? k.key.type + 1 : Step;
                found = true;
            }
        }
    }
    if (!found) {
        why = "no key at row " + std::to_string(row) + " in track " + name;
        return false;
    }
    return change({TrackChange{t, name, std::move(keys)}}, why);
}

KeyBlock TimelineDocument::copyBlock(const std::vector<std::string>& names, int from, int to) const
{
    KeyBlock block;
    if (to < from)
        std::swap(from, to);
    block.span = static_cast<int>(std::min<long long>(static_cast<long long>(to) - from + 1, std::numeric_limits<int>::max()));
    for (const std::string& name : names) {
        std::vector<TrackKey> column;
        if (const DocumentTrack* t = track(name))
            for (const DocumentKey& k : t->keys)
                if (k.key.row >= from && k.key.row <= to)
                    column.push_back(TrackKey{static_cast<std::int32_t>(k.key.row - from), k.key.value, k.key.type});
        block.columns.push_back(std::move(column));
    }
    return block;
}

bool TimelineDocument::clearBlock(const std::vector<std::string>& names, int from, int to, std::string& why)
{
    return pasteBlock(names, std::min(from, to),
        KeyBlock{std::vector<std::vector<TrackKey>>(names.size()), std::abs(to - from) + 1}, why);
}

bool TimelineDocument::pasteBlock(const std::vector<std::string>& names, int at, const KeyBlock& block, std::string& why)
{
    if (!fitsRow(static_cast<long long>(at) + block.span)) {
        why = "the block would end past the last row a track holds";
        return false;
    }
    std::vector<TrackChange> changes;
    const long long end = static_cast<long long>(at) + block.span;
    for (std::size_t c = 0; c < names.size() && c < block.columns.size(); ++c) {
        const int t = trackIndex(names[c]);
        std::vector<TrackKey> keys;
        if (t >= 0)
            for (const DocumentKey& k : index[std::size_t(t)].keys)
                if (k.key.row < at || k.key.row >= end)
                    keys.push_back(k.key);
        for (const TrackKey& k : block.columns[c])
            keys.push_back(TrackKey{static_cast<std::int32_t>(at + k.row), k.value, k.type});
        std::sort(keys.begin(), keys.end(), [](const TrackKey& a, const TrackKey& b) { return a.row < b.row; });
        changes.push_back(TrackChange{t, names[c], std::move(keys)});
    }
    return change(std::move(changes), why);
}

bool TimelineDocument::moveBlock(const std::vector<std::string>& names, int from, int to, int delta, std::string& why)
{
    if (to < from)
        std::swap(from, to);
    if (!fitsRow(static_cast<long long>(from) + delta) || !fitsRow(static_cast<long long>(to) + delta)) {
        why = "the keys would move past the rows a track holds";
        return false;
    }
    const KeyBlock block = copyBlock(names, from, to);
    std::vector<TrackChange> changes;
    for (std::size_t c = 0; c < names.size(); ++c) {
        const int t = trackIndex(names[c]);
        if (t < 0)
            continue;
        std::vector<TrackKey> keys;
        for (const DocumentKey& k : index[std::size_t(t)].keys) {
            const bool inBlock = k.key.row >= from && k.key.row <= to;
            const bool underLanding = k.key.row >= static_cast<long long>(from) + delta &&
                k.key.row <= static_cast<long long>(to) + delta;
            if (!inBlock && !underLanding)
                keys.push_back(k.key);
        }
        for (const TrackKey& k : block.columns[c])
            keys.push_back(TrackKey{static_cast<std::int32_t>(from + delta + k.row), k.value, k.type});
        std::sort(keys.begin(), keys.end(), [](const TrackKey& a, const TrackKey& b) { return a.row < b.row; });
        changes.push_back(TrackChange{t, names[c], std::move(keys)});
    }
    return change(std::move(changes), why);
}

bool TimelineDocument::replaceAll(const std::string& source, const std::string& fileName, std::vector<std::string>& errors)
{
    Timeline parsed;
    if (!parseTimeline(source, fileName, parsed, errors))
        return false;
    TimelineDocument other;
    other.load(source, fileName, errors);
    std::vector<std::string> lines = other.text;
    if (other.lineEnd != lineEnd)
        for (std::string& line : lines)
            line = content(line) + lineEnd;
    if (lines == text)
        return true;
    commit({Splice{0, text, std::move(lines)}});
    return true;
}

} // namespace studio
