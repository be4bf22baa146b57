// The studio's timeline editor: the commands of standard input and the keys of the track
// view, turned into edits of the timeline document; the edited keys put into the running
// tracks at once (the file changes only on save); saves, outside saves and the recovery
// file; and the question asked before quitting with unsaved edits. It draws nothing: the
// track view's text comes from facts().
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "studio/Command.h"
#include "studio/EditSession.h"
#include "studio/TrackViewText.h"

class Sync;

namespace studio {

class Transport;

class StudioEditor {
public:
    // out receives the fixed lines ("saved ...", "key ...", "section ..."); the answers to
    // commands are returned for the caller to say.
    StudioEditor(const std::string& timelinePath, Sync* sync, FILE* out);

    // Reads the timeline. False, with the reason, when editing must wait for a good save.
    bool open(std::string& why);
    const EditSession& session() const { return edits; }
    // The columns the view shows; empty: every track of the timeline.
    void chooseTracks(std::vector<std::string> names) { chosen = std::move(names); }

    static bool handles(CommandKind kind);
    // Applies an editing command from standard input; returns the answer (one line) and
    // sets ok.
    std::string command(const Command& command, Transport& moves, bool& ok);
    // A key of the track view (GLFW key codes and modifier bits); true when it was used.
    bool key(int key, int mods, Transport& moves);
    bool character(unsigned codepoint, Transport& moves);

    // The watcher saw the timeline saved: true when the reloader should read it (an outside
    // save the document took, or one that does not compile); false for the studio's own
    // save and for a conflict, which note then explains.
    bool timelineSaved(std::string& note);
    // True once after each change of the document's keys, having put them into the tracks.
    bool pushKeys();

    // Quitting: true when it may go ahead now; otherwise the question is asked in the view.
    bool mayQuit();
    bool asking() const { return question; }
    // The answer to the question lets the studio end (saved, or kept aside), or nothing
    // was unsaved.
    bool quitDecided() const { return quitAgreed || !edits.dirty(); }
    // Unsaved edits at an exit that cannot ask (standard input's quit, a signal): they go
    // to the recovery file. Returns what to say, or nothing when there was nothing to keep.
    std::string keepUnsaved();

    TrackViewFacts facts(double row) const;
    std::vector<std::string> trackNames() const;
    std::string cursorTrackName() const;
    // The row of a line of the view, as last laid out (for mouse clicks).
    void setLayout(const TrackViewLayout& layout) { shape = layout; }
    const TrackViewLayout& layout() const { return shape; }

private:
    std::string save(bool& ok);
    std::string listKeys(const Command& command);
    std::string sections();
    bool editable();
    void report(const std::string& text, bool alert);
    void setTyped(Transport& moves);
    void moveCursorTrack(int by, bool extend, int row);
    void jumpToKey(int direction, Transport& moves);
    void jumpToSection(int direction, Transport& moves);
    std::vector<std::string> blockNames() const;
    void blockRows(int row, int& from, int& to) const;
    int rowOf(Transport& moves) const;

    EditSession edits;
    Sync* sync;
    FILE* out;
    std::vector<std::string> chosen;
    std::uint64_t pushedRevision = 0;
    bool question = false;
    bool quitAgreed = false;

    int cursorTrack = 0;
    bool selecting = false;
    int anchorTrack = 0;
    int anchorRow = 0;
    KeyBlock clipboard;
    std::string typing;
    std::string message;
    bool messageAlert = false;
    TrackViewLayout shape;
};

} // namespace studio
