// The timeline file as the studio edits it: the document, the text the file held when the
// studio last read or wrote it, and what happens when the file changes under the studio.
// Saves are atomic and refuse to overwrite a text someone else saved since; edits that
// cannot be saved go to a recovery file beside the timeline. Nothing here draws or plays.
#pragma once

#include <string>
#include <vector>

#include "studio/TimelineDocument.h"

namespace studio {

class EditSession {
public:
    // path as the studio reports it ("data/timeline.txt").
    explicit EditSession(std::string path);

    const std::string& path() const { return file; }
    std::string recoveryPath() const { return file + recoverySuffix; }
    static constexpr const char* recoverySuffix = ".recovery";

    // Reads the file into the document. False with errors when it cannot be read or does
    // not compile: editing then waits for a save that compiles.
    bool open(std::vector<std::string>& errors);
    TimelineDocument& document() { return doc; }
    const TimelineDocument& document() const { return doc; }
    bool dirty() const { return doc.dirty(); }
    // Editing is possible: the document holds the file's last text that compiled and no
    // outside save waits for the user's choice. why says what is in the way.
    bool editable(std::string& why) const;

    // Writes the document over the file. Refused (false, why) when the file no longer
    // holds the text the studio last read or wrote: an outside save, which the user must
    // first choose about. On success, message is "saved FILE N tracks".
    bool save(std::string& message);
    // The document's whole text into the recovery file, whole or not at all.
    bool writeRecovery(std::string& why);

    enum class Outside {
        Ours,     // the file holds what the studio wrote or read: nothing to do
        Adopted,  // no unsaved edits: the document now holds the new text
        Broken,   // no unsaved edits, and the new text does not compile (errors say why)
        Conflict, // unsaved edits and a different text on disk: the user chooses
        Unreadable,
    };
    // The file changed on disk (the watcher said so, or a reload was asked for).
    Outside fileChanged(std::vector<std::string>& errors);
    bool conflict() const { return conflicting; }
    // The user's choices in a conflict. Theirs: the studio's edits go to the recovery file
    // first (false, nothing changed, if that fails), then the file's text is taken.
    bool reloadTheirs(std::vector<std::string>& errors, std::string& why);
    // Ours: the studio's edits stay, and the next save replaces the outside text.
    void keepOurs();

private:
    bool readDisk(std::string& text, std::string& why) const;
    // Takes the file's text as the document's; false, with the document marked stale,
    // when it does not compile (the last good one stays).
    bool adopt(const std::string& text, std::vector<std::string>& errors);

    std::string file;
    TimelineDocument doc;
    std::string base;      // the file's text as last read or written by the studio
    bool loaded = false;   // the document holds a text that compiled
    bool stale = false;    // the file's text does not compile; edits wait for a good one
    bool conflicting = false;
};

} // namespace studio
