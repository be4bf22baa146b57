// Files that appear complete or not at all. The bytes go to PATH.part beside the target,
// and only a fully written and closed part is renamed over PATH; a reader (the show, a
// build step, a person watching the folder) sees the old file or the new one, never a
// truncated mix. Every layer writes its output files this way.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace Tarvo {

class AtomicFile {
public:
    // The suffix of the part file written beside the target.
    static constexpr const char* partSuffix = ".part";

    // Opens path + partSuffix, truncated, with fopen's mode (binary writing by default;
    // "w+b" for writers that seek back). isOpen() says whether it worked.
    explicit AtomicFile(const std::string& path, const char* mode = "wb");
    // A file neither committed nor abandoned is abandoned: the target stays as it was.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return file != nullptr; }
    // The open part file, for writers that write in pieces; null when not open.
    std::FILE* stream() const { return file; }
    const std::string& path() const { return target; }
    const std::string& partPath() const { return part; }

    // Writes all of data; false (and the file remembers the failure) when it could not.
    bool write(const void* data, std::size_t size);
    // Closes the part and renames it over the target. False when the part never opened,
    // a write or the close failed, or the rename did: the part is then removed and the
    // target left as it was.
    bool commit();
    // Closes and removes the part; the target stays as it was.
    void abandon();

    // Why the last step failed, as the system words it (strerror); empty while all is well.
    const std::string& error() const { return why; }

private:
    void fail(int error);

    std::string target;
    std::string part;
    std::FILE* file = nullptr;
    bool failed = false;
    std::string why;
};

// Writes size bytes of data as the whole of path through an AtomicFile. False, with why
// holding the system's reason, when any step failed; the target is then as it was.
bool writeFileAtomically(const std::string& path, const void* data, std::size_t size, std::string& why);

} // namespace Tarvo
