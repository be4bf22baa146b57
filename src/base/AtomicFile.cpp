// The part file is removed on every path that does not end in a rename, so a failed or
// abandoned write leaves nothing behind but the target as it was.
#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>

namespace Tarvo {

AtomicFile::AtomicFile(const std::string& path, const char* mode)
    : target(path), part(path + partSuffix)
{
    errno = 0;
    file = std::fopen(part.c_str(), mode);
    if (!file)
        fail(errno);
}

AtomicFile::~AtomicFile()
{
    abandon();
}

void AtomicFile::fail(int error)
{
    failed = true;
    // Some failures (a short write to a full disk) leave errno unset.
    why = std::strerror(error != 0 ? error : EIO);
}

bool AtomicFile::write(const void* data, std::size_t size)
{
    if (!file || failed)
        return false;
    errno = 0;
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        fail(errno);
        return false;
    }
    return true;
}

bool AtomicFile::commit()
{
    if (!file) {
        failed = true;
        if (why.empty())
            why = std::strerror(EBADF);
        return false;
    }
    // A stream error the caller's own fwrite calls met counts as a failed write.
    if (!failed && std::ferror(file))
        fail(errno);
    errno = 0;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!closed && !failed)
        fail(errno);
    errno = 0;
    if (!failed && std::rename(part.c_str(), target.c_str()) != 0)
        fail(errno);
    if (failed) {
        std::remove(part.c_str());
        return false;
    }
    return true;
}

void AtomicFile::abandon()
{
    if (!file)
        return;
    std::fclose(file);
    file = nullptr;
    std::remove(part.c_str());
}

bool writeFileAtomically(const std::string& path, const void* data, std::size_t size, std::string& why)
{
    AtomicFile file(path);
    if (file.write(data, size) && file.commit())
        return true;
    why = file.error();
    return false;
}

} // namespace Tarvo
