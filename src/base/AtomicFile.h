// Files that appear complete or not at all. The bytes go to a temporary file of a name of
// its own beside the target, and only a fully written and closed temporary is renamed over
// it; a reader (the show, a build step, a person watching the folder) sees the old file or
// the new one, never a truncated mix, and two writers to one target each leave a whole
// result (the last rename wins). Every layer writes its output files this way.
//
// What the path names decides how it is written:
//  - a regular file, or nothing yet: replaced through the temporary, as above;
//  - a symbolic link: followed, and the file it leads to is replaced that way, so the
//    link stays a link;
//  - anything else (a device such as /dev/null, a FIFO, a terminal, /dev/stdout): written
//    to directly, since a rename would put a regular file in its place. Such a write is
//    not atomic, and a failed one cannot be taken back.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace Tarvo {

class AtomicFile {
public:
    // The suffix every temporary's name ends in ("out.bin.k3Xq9a.part"), so that leftovers
    // of a crash are easy to find.
    static constexpr const char* partSuffix = ".part";

    // Opens the temporary (or the target itself, see above) for writing, in binary, with
    // fopen's mode ("wb" by default; "w+b" for writers that seek back). isOpen() says
    // whether it worked.
    explicit AtomicFile(const std::string& path, const char* mode = "wb");
    // A file neither committed nor abandoned is abandoned: the target stays as it was.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return file != nullptr; }
    // The open file, for writers that write in pieces; null when not open.
    std::FILE* stream() const { return file; }
    // The path as given.
    const std::string& path() const { return target; }
    // The temporary being written; empty when the target is written directly.
    const std::string& partPath() const { return part; }
    // Whether the bytes go straight to the target (not a regular file).
    bool direct() const { return destination.empty(); }

    // Writes all of data; false (and the file remembers the failure) when it could not.
    bool write(const void* data, std::size_t size);
    // Ends the writing: flushes and closes the file, so that commit() is left only the
    // rename. Writers that replace several files together seal them all before the first
    // commit. False (the temporary then removed) when a write or the close failed.
    bool seal();
    // Seals the file if it is not yet, and renames the temporary over the file the path
    // leads to. False when the file never opened, a write, the close or the rename
    // failed: the temporary is then removed and the target left as it was.
    bool commit();
    // Closes and removes the temporary; the target stays as it was.
    void abandon();

    // Why the last step failed, as the system words it (strerror); empty while all is well.
    const std::string& error() const { return why; }

private:
    void fail(int error);
    void removePart();

    std::string target;
    std::string destination; // the file the rename replaces: target, its links followed
    std::string part;
    std::FILE* file = nullptr;
    bool sealed = false;
    bool failed = false;
    std::string why;
};

// Writes size bytes of data as the whole of path through an AtomicFile. False, with why
// holding the system's reason, when any step failed; the target is then as it was.
bool writeFileAtomically(const std::string& path, const void* data, std::size_t size, std::string& why);

} // namespace Tarvo
