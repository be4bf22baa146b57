// Editing commands and the track view's keys. The cursor's row is the music's row: moving
// the cursor seeks, so a key set is heard where it was set, and the view follows playback.
#include "studio/StudioEditor.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "studio/Transport.h"
#include "sync/Sync.h"

namespace studio {

namespace {

constexpr int beatRows = showtime::rowsPerBeat;
constexpr int barRows = showtime::rowsPerBar;

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

StudioEditor::StudioEditor(const std::string& timelinePath, Sync* sync, FILE* out)
    : edits(timelinePath), sync(sync), out(out)
{
}

bool StudioEditor::open(std::string& why)
{
    std::vector<std::string> errors;
    if (edits.open(errors)) {
        pushedRevision = edits.document().revision();
        return true;
    }
    why = errors.empty() ? edits.path() + ": cannot be read" : errors.front();
    return false;
}

bool StudioEditor::handles(CommandKind kind)
{
    switch (kind) {
    case CommandKind::SetKey:
    case CommandKind::DeleteKey:
    case CommandKind::Undo:
    case CommandKind::Redo:
    case CommandKind::Save:
    case CommandKind::ListKeys:
    case CommandKind::Sections:
    case CommandKind::Goto:
    case CommandKind::ReloadTheirs:
    case CommandKind::KeepOurs:
    case CommandKind::Recover:
        return true;
    default:
        return false;
    }
}

bool StudioEditor::editable()
{
    std::string why;
    if (edits.editable(why))
        return true;
    report(why, true);
    return false;
}

void StudioEditor::report(const std::string& text, bool alert)
{
    message = text;
    messageAlert = alert;
}

std::string StudioEditor::command(const Command& c, Transport& moves, bool& ok)
{
    ok = true;
    std::string why;
    TimelineDocument& doc = edits.document();
    const auto refused = [&](const std::string& text) {
        ok = false;
        report(text, true);
        return text;
    };
    switch (c.kind) {
    case CommandKind::SetKey:
    case CommandKind::DeleteKey:
        if (!editable())
            return refused(message);
        if (c.kind == CommandKind::SetKey ? !doc.setKey(c.name, static_cast<long long>(c.first), c.second, c.interpolation, why)
                                          : !doc.deleteKey(c.name, static_cast<long long>(c.first), why))
            return refused(why);
        return (c.kind == CommandKind::SetKey ? "set " : "deleted ") + c.name + " row " + number(c.first) +
            (doc.dirty() ? " (unsaved)" : "");
    case CommandKind::Undo:
        return doc.undo() ? std::string("undone") : refused("nothing to undo");
    case CommandKind::Redo:
        return doc.redo() ? std::string("redone") : refused("nothing to redo");
    case CommandKind::Save:
        return save(ok);
    case CommandKind::ListKeys:
        return listKeys(c);
    case CommandKind::Sections:
        return sections();
    case CommandKind::Goto:
        for (const Section& section : doc.sections())
            if (section.name == c.name) {
                moves.seek(section.from);
                return "section " + section.name + " from row " + std::to_string(section.from);
            }
        return refused("no section '" + c.name + "' in " + edits.path() + " (see 'sections')");
    case CommandKind::ReloadTheirs: {
        if (!edits.conflict())
            return refused("no outside save is waiting");
        std::vector<std::string> errors;
        const bool wasDirty = edits.dirty();
        if (!edits.reloadTheirs(errors, why))
            return refused(why);
        const std::string text = "took " + edits.path() +
            (wasDirty ? " as saved outside; the studio's edits are in " + edits.recoveryPath() : std::string());
        report(text, false);
        return text;
    }
    case CommandKind::KeepOurs:
        if (!edits.conflict())
            return refused("no outside save is waiting");
        edits.keepOurs();
        report("keeping the studio's edits; 'save' replaces the outside save", false);
        return message;
    case CommandKind::Recover: {
        if (!editable())
            return refused(message);
        FILE* file = std::fopen(edits.recoveryPath().c_str(), "rb");
        if (!file)
            return refused("no " + edits.recoveryPath() + " to recover");
        std::string text;
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, got);
        std::fclose(file);
        std::vector<std::string> errors;
        if (!doc.replaceAll(text, edits.recoveryPath(), errors))
            return refused(errors.empty() ? "the recovery file does not compile" : errors.front());
        return "recovered " + edits.recoveryPath() + " (unsaved; 'undo' takes it back)";
    }
    default:
        return refused("not an editing command");
    }
}

std::string StudioEditor::save(bool& ok)
{
    std::string text;
    ok = edits.save(text);
    report(text, !ok);
    if (ok) {
        std::fprintf(out, "%s\n", text.c_str());
        std::fflush(out);
    }
    return text;
}

std::string StudioEditor::listKeys(const Command& c)
{
    const DocumentTrack* track = edits.document().track(c.name);
    if (!track)
        return "no track '" + c.name + "' in " + edits.path();
    const double from = c.ranged ? std::min(c.first, c.second) : -INFINITY;
    const double to = c.ranged ? std::max(c.first, c.second) : INFINITY;
    size_t shown = 0;
    std::string lines;
    for (const DocumentKey& key : track->keys) {
        if (key.key.row < from || key.key.row > to)
            continue;
        const char* type = interpolationName(key.key.type);
        lines += "key " + c.name + " " + std::to_string(key.key.row) + " " + shortestValue(key.key.value) + " " +
            (type ? type : "step") + "\n";
        ++shown;
    }
    std::fputs(lines.c_str(), out);
    std::fflush(out);
    return std::to_string(shown) + (shown == 1 ? " key" : " keys");
}

std::string StudioEditor::sections()
{
    const std::vector<Section> found = edits.document().sections();
    for (const Section& section : found)
        std::fprintf(out, "section %s %d %d\n", section.name.c_str(), section.from, section.to);
    std::fflush(out);
    return std::to_string(found.size()) + (found.size() == 1 ? " section" : " sections");
}

bool StudioEditor::timelineSaved(std::string& note)
{
    std::vector<std::string> errors;
    switch (edits.fileChanged(errors)) {
    case EditSession::Outside::Ours:
        return false;
    case EditSession::Outside::Conflict:
        note = edits.path() + " was saved outside the studio while it has unsaved edits; the studio keeps its "
            "own: 'reload theirs' (the studio's edits go to " + edits.recoveryPath() + ") or 'keep ours' (R / K)";
        report(note, true);
        return false;
    case EditSession::Outside::Adopted:
        pushedRevision = edits.document().revision();
        return true;
    default:
        return true;
    }
}

bool StudioEditor::pushKeys()
{
    if (edits.document().revision() == pushedRevision)
        return false;
    pushedRevision = edits.document().revision();
    if (sync)
        sync->replaceKeys(edits.document().timeline());
    return true;
}

bool StudioEditor::mayQuit()
{
    if (!edits.dirty() || quitAgreed)
        return true;
    question = true;
    report("unsaved edits: S save and quit, D quit (the edits go to " + edits.recoveryPath() + "), C keep editing",
        true);
    return false;
}

std::string StudioEditor::keepUnsaved()
{
    if (!edits.dirty())
        return {};
    std::string why;
    if (!edits.writeRecovery(why))
        return why + "; the unsaved edits are lost";
    return "unsaved edits written to " + edits.recoveryPath() + " (rename it over " + edits.path() +
        " to keep them, or 'recover' next time)";
}

std::vector<std::string> StudioEditor::trackNames() const
{
    if (!chosen.empty())
        return chosen;
    std::vector<std::string> names;
    for (const DocumentTrack& track : edits.document().tracks())
        names.push_back(track.name);
    return names;
}

std::string StudioEditor::cursorTrackName() const
{
    const std::vector<std::string> names = trackNames();
    if (names.empty())
        return {};
    return names[size_t(std::clamp(cursorTrack, 0, static_cast<int>(names.size()) - 1))];
}

TrackViewFacts StudioEditor::facts(double row) const
{
    TrackViewFacts f;
    f.document = &edits.document();
    f.names = trackNames();
    f.cursorTrack = cursorTrack;
    f.row = row;
    f.selecting = selecting;
    f.anchorTrack = anchorTrack;
    f.anchorRow = anchorRow;
    f.file = edits.path();
    f.dirty = edits.dirty();
    f.typing = typing;
    f.message = message;
    f.messageAlert = messageAlert;
    return f;
}

int StudioEditor::rowOf(Transport& moves) const
{
    return cursorRow(moves.row());
}

std::vector<std::string> StudioEditor::blockNames() const
{
    const std::vector<std::string> names = trackNames();
    if (names.empty())
        return {};
    const int last = static_cast<int>(names.size()) - 1;
    const int a = std::clamp(selecting ? anchorTrack : cursorTrack, 0, last);
    const int b = std::clamp(cursorTrack, 0, last);
    return std::vector<std::string>(names.begin() + std::min(a, b), names.begin() + std::max(a, b) + 1);
}

void StudioEditor::blockRows(int row, int& from, int& to) const
{
    from = selecting ? std::min(anchorRow, row) : row;
    to = selecting ? std::max(anchorRow, row) : row;
}

void StudioEditor::moveCursorTrack(int by, bool extend, int row)
{
    const int count = static_cast<int>(trackNames().size());
    if (extend && !selecting) {
        selecting = true;
        anchorTrack = cursorTrack;
        anchorRow = row;
    }
    cursorTrack = std::clamp(cursorTrack + by, 0, std::max(0, count - 1));
}

void StudioEditor::jumpToKey(int direction, Transport& moves)
{
    const DocumentTrack* track = edits.document().track(cursorTrackName());
    if (!track || track->keys.empty())
        return;
    const int row = rowOf(moves);
    if (direction > 0) {
        for (const DocumentKey& key : track->keys)
            if (key.key.row > row) {
                moves.seek(key.key.row);
                return;
            }
    } else {
        for (auto it = track->keys.rbegin(); it != track->keys.rend(); ++it)
            if (it->key.row < row) {
                moves.seek(it->key.row);
                return;
            }
    }
}

void StudioEditor::jumpToSection(int direction, Transport& moves)
{
    const int row = rowOf(moves);
    const std::vector<Section> found = edits.document().sections();
    const Section* best = nullptr;
    for (const Section& section : found) {
        const bool ahead = direction > 0 ? section.from > row : section.from < row;
        if (ahead && (!best || (direction > 0 ? section.from < best->from : section.from > best->from)))
            best = &section;
    }
    if (!best)
        return;
    moves.seek(best->from);
    report("section " + best->name + " from row " + std::to_string(best->from), false);
}

void StudioEditor::setTyped(Transport& moves)
{
    double value = 0.0;
    const std::string text = typing;
    typing.clear();
    if (!parseDecimal(text, value)) {
        report("'" + text + "' is not a number", true);
        return;
    }
    Command c{CommandKind::SetKey};
    c.name = cursorTrackName();
    c.first = rowOf(moves);
    c.second = value;
    bool ok = false;
    const std::string answer = command(c, moves, ok);
    report(answer, !ok);
}

bool StudioEditor::key(int key, int mods, Transport& moves)
{
    const bool shift = mods & GLFW_MOD_SHIFT;
    const bool control = mods & GLFW_MOD_CONTROL;
    const bool alt = mods & GLFW_MOD_ALT;
    const int row = rowOf(moves);
    std::string why;
    TimelineDocument& doc = edits.document();

    if (question) {
        if (key == GLFW_KEY_S) {
            bool ok = false;
            save(ok);
            question = false;
            quitAgreed = ok;
        } else if (key == GLFW_KEY_D) {
            report(keepUnsaved(), false);
            question = false;
            quitAgreed = true;
        } else if (key == GLFW_KEY_C || key == GLFW_KEY_ESCAPE) {
            question = false;
            report("", false);
        }
        return true;
    }
    if (edits.conflict() && !control) {
        bool ok = false;
        Command c{key == GLFW_KEY_R ? CommandKind::ReloadTheirs : CommandKind::KeepOurs};
        if (key == GLFW_KEY_R || key == GLFW_KEY_K) {
            command(c, moves, ok);
            return true;
        }
    }

    auto extendTo = [&](int newRow) {
        if (shift && !selecting) {
            selecting = true;
            anchorTrack = cursorTrack;
            anchorRow = row;
        } else if (!shift) {
            selecting = false;
        }
        moves.seek(newRow);
    };
    auto moveBlock = [&](int delta) {
        if (!editable())
            return;
        int from = 0, to = 0;
        blockRows(row, from, to);
        if (!doc.moveBlock(blockNames(), from, to, delta, why)) {
            report(why, true);
            return;
        }
        if (selecting)
            anchorRow += delta;
        moves.seek(row + delta);
    };

    switch (key) {
    case GLFW_KEY_UP:
    case GLFW_KEY_DOWN: {
        const int direction = key == GLFW_KEY_UP ? -1 : 1;
        if (alt)
            moveBlock(direction);
        else if (control)
            jumpToKey(direction, moves);
        else
            extendTo(row + direction);
        return true;
    }
    case GLFW_KEY_PAGE_UP:
    case GLFW_KEY_PAGE_DOWN: {
        if (control) {
            jumpToSection(key == GLFW_KEY_PAGE_UP ? -1 : 1, moves);
            return true;
        }
        const int rows = (key == GLFW_KEY_PAGE_UP ? -1 : 1) * (shift ? barRows : beatRows);
        if (alt)
            moveBlock(rows);
        else
            moves.seek(row + rows);
        return true;
    }
    case GLFW_KEY_LEFT:
    case GLFW_KEY_RIGHT:
        if (!shift)
            selecting = false;
        moveCursorTrack(key == GLFW_KEY_LEFT ? -1 : 1, shift, row);
        return true;
    case GLFW_KEY_ENTER:
    case GLFW_KEY_KP_ENTER:
        if (!typing.empty())
            setTyped(moves);
        return true;
    case GLFW_KEY_BACKSPACE:
        if (!typing.empty())
            typing.pop_back();
        return true;
    case GLFW_KEY_DELETE: {
        if (!editable())
            return true;
        int from = 0, to = 0;
        blockRows(row, from, to);
        const bool done = selecting ? doc.clearBlock(blockNames(), from, to, why)
                                    : doc.deleteKey(cursorTrackName(), row, why);
        report(done ? std::string() : why, !done);
        return true;
    }
    case GLFW_KEY_ESCAPE:
        if (!typing.empty() || selecting) {
            typing.clear();
            selecting = false;
            return true;
        }
        return false; // quit, asked about by the studio
    default:
        break;
    }
    if (!control)
        return false;
    int from = 0, to = 0;
    blockRows(row, from, to);
    switch (key) {
    case GLFW_KEY_Z:
        if (shift ? !doc.redo() : !doc.undo())
            report(shift ? "nothing to redo" : "nothing to undo", true);
        return true;
    case GLFW_KEY_Y:
        if (!doc.redo())
            report("nothing to redo", true);
        return true;
    case GLFW_KEY_S: {
        bool ok = false;
        save(ok);
        return true;
    }
    case GLFW_KEY_C:
    case GLFW_KEY_X:
        clipboard = doc.copyBlock(blockNames(), from, to);
        if (key == GLFW_KEY_X && editable())
            doc.clearBlock(blockNames(), from, to, why);
        report(std::to_string(clipboard.columns.size()) + " tracks x " + std::to_string(clipboard.span) + " rows " +
                (key == GLFW_KEY_X ? "cut" : "copied"),
            false);
        selecting = false;
        return true;
    case GLFW_KEY_V: {
        if (clipboard.empty() || !editable())
            return true;
        const std::vector<std::string> names = trackNames();
        const size_t first = size_t(std::clamp(cursorTrack, 0, std::max(0, static_cast<int>(names.size()) - 1)));
        const std::vector<std::string> targets(names.begin() + std::min(first, names.size()),
            names.begin() + std::min(names.size(), first + clipboard.columns.size()));
        if (!doc.pasteBlock(targets, row, clipboard, why))
            report(why, true);
        return true;
    }
    default:
        return false;
    }
}

bool StudioEditor::character(unsigned codepoint, Transport& moves)
{
    if (question || edits.conflict())
        return false;
    const char c = codepoint < 128 ? static_cast<char>(codepoint) : '\0';
    const bool numberStart = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+';
    if (numberStart || (!typing.empty() && (c == 'e' || c == 'E'))) {
        if (typing.size() < 32)
            typing += c;
        return true;
    }
    if (c == 'i' || c == 'I') {
        std::string why;
        if (editable() && !edits.document().cycleInterpolation(cursorTrackName(), rowOf(moves), why))
            report(why, true);
        return true;
    }
    return false;
}

} // namespace studio
