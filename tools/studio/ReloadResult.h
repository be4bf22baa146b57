// What a reload did, as standard output reports it (one line, in fixed forms that editors
// and tests read) and as the overlay shows it (the errors in full), and the board that
// keeps every source that is still broken on show until a reload of it succeeds.
#pragma once

#include <string>
#include <vector>

namespace studio {

struct ReloadResult {
    enum class Kind { Timeline, Shader };

    Kind kind = Kind::Timeline;
    bool ok = false;
    std::string path;  // the file reloaded, as the studio names it (data/timeline.txt)
    int tracks = 0;    // a timeline's track count
    // A timeline's "FILE:LINE: message" errors; a shader's compile and link logs of the
    // programs that failed.
    std::vector<std::string> errors;
    // What a timeline that compiled changed ("2 keys changed in camX, camY") and the
    // tracks the scene reads that it no longer has; when the reload was done ("12:03:04").
    std::string changes;
    std::vector<std::string> warnings;
    std::string when;

    // One of:
    //   reload timeline ok N tracks
    //   reload timeline failed FILE:LINE: MESSAGE   (the first error)
    //   reload shader ok PATH
    //   reload shader failed PATH
    // always one line: line breaks inside a path or message become blanks.
    std::string line() const;
    // The line with when and what changed, for people: a reload that repeats the last
    // one still reads differently.
    std::string described() const;
};

class ReloadBoard {
public:
    void record(const ReloadResult& result);
    // The latest reload; null before the first.
    const ReloadResult* last() const { return latest.empty() ? nullptr : &latest.back(); }
    // The sources whose latest reload failed, in the order they first failed.
    const std::vector<ReloadResult>& failing() const { return broken; }

private:
    std::vector<ReloadResult> latest; // empty or one
    std::vector<ReloadResult> broken;
};

} // namespace studio
