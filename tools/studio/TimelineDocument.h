// The timeline text as the studio edits it: the file's own lines, with an index of which
// line holds which track header and which key. An edit rewrites only the lines of the keys
// it changes (a new key goes in after the key before it, in the style the track's keys are
// written in); every other line (comments, blank lines, order, line endings) stays byte for
// byte. Edits are undoable without limit; each is stored as the lines it replaced, so the
// history costs what was typed, not copies of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "studio/KeyLineStyle.h"
#include "sync/Timeline.h"

namespace studio {

struct DocumentKey {
    TrackKey key;
    std::size_t line; // index into lines()
};

struct DocumentTrack {
    std::string name;
    std::size_t header; // the "track NAME" line
    std::vector<DocumentKey> keys;
};

// A section comment, written in the timeline's header as "#   NAME   rows FROM-TO ...".
struct Section {
    std::string name;
    int from = 0;
    int to = 0;
};

// Keys lifted out of a block of tracks: one column per track, rows counted from the
// block's first row; span rows long.
struct KeyBlock {
    std::vector<std::vector<TrackKey>> columns;
    int span = 0;
    bool empty() const { return columns.empty(); }
};

class TimelineDocument {
public:
    // Takes the text as the document's lines. False, with errors as "FILE:LINE: message",
    // when it does not compile; the document is then left as it was.
    bool load(const std::string& text, const std::string& fileName, std::vector<std::string>& errors);

    const std::vector<DocumentTrack>& tracks() const { return index; }
    const DocumentTrack* track(const std::string& name) const;
    const std::vector<std::string>& lines() const { return text; }
    std::string joined() const;
    // The keys as the track store takes them.
    Timeline timeline() const;
    std::vector<Section> sections() const;

    // Edits. Each is one step of the history and false, with why, when it would make no
    // valid timeline (a row outside int32, a value that is not a finite float, a bad track
    // name) or change nothing. A key for a track the timeline lacks starts that track at
    // the end of the file. type < 0: a changed key keeps its type, a new one takes the type
    // of the key before it (linear when there is none).
    bool setKey(const std::string& name, long long row, double value, int type, std::string& why);
    bool deleteKey(const std::string& name, long long row, std::string& why);
    // step -> linear -> smooth -> quadratic -> step
    bool cycleInterpolation(const std::string& name, long long row, std::string& why);
    // The keys in rows [from, to] of the named tracks.
    KeyBlock copyBlock(const std::vector<std::string>& names, int from, int to) const;
    // Removes the keys in rows [from, to] of the named tracks (one step).
    bool clearBlock(const std::vector<std::string>& names, int from, int to, std::string& why);
    // Writes the block's columns into the named tracks from row at: each column's rows
    // [at, at + span) hold exactly the block's keys afterwards (one step).
    bool pasteBlock(const std::vector<std::string>& names, int at, const KeyBlock& block, std::string& why);
    // Moves the keys in rows [from, to] of the named tracks by delta rows, over whatever
    // keys were where they land (one step).
    bool moveBlock(const std::vector<std::string>& names, int from, int to, int delta, std::string& why);
    // Takes the whole of another text as one step (a recovered session); it must compile.
    bool replaceAll(const std::string& text, const std::string& fileName, std::vector<std::string>& errors);

    bool undo();
    bool redo();
    bool canUndo() const { return done > 0; }
    bool canRedo() const { return done < history.size(); }
    // Edited since the last load or markSaved (undoing back to it counts as clean).
    bool dirty() const { return done != savedAt; }
    void markSaved() { savedAt = done; }
    // Counts every applied edit, undo and redo: the studio compares it to see a change.
    std::uint64_t revision() const { return changes; }

private:
    // Lines [at, at + removed.size()) replaced by inserted.
    struct Splice {
        std::size_t at;
        std::vector<std::string> removed;
        std::vector<std::string> inserted;
    };
    struct Edit {
        std::vector<Splice> forward;  // ascending, in the lines before the edit
        std::vector<Splice> backward; // ascending, in the lines after it
    };
    // The new keys of some tracks, by track index; -1 starts a new track of that name.
    struct TrackChange {
        int track;
        std::string name;
        std::vector<TrackKey> keys;
    };

    bool change(std::vector<TrackChange> changes, std::string& why);
    void addTrackSplices(const TrackChange& change, std::vector<Splice>& splices) const;
    void commit(std::vector<Splice> forward);
    static void apply(std::vector<std::string>& lines, const std::vector<Splice>& splices);
    void reindex();
    int trackIndex(const std::string& name) const;
    KeyLineStyle styleFor(int track) const;
    const std::string& newline() const { return lineEnd; }

    std::vector<std::string> text; // each with its own line end; the last may have none
    std::vector<DocumentTrack> index;
    std::string lineEnd = "\n";   // the file's own: "\r\n" when its first line has it
    bool finalLineEnd = true;     // whether the file's last line ends with one
    std::vector<Edit> history;
    std::size_t done = 0;    // edits of history applied
    std::size_t savedAt = 0; // history position the file on disk holds; npos when lost
    std::uint64_t changes = 0;
};

} // namespace studio
