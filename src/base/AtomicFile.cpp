// The part file is removed on every path that does not end in a rename, so a failed or
// abandoned write leaves nothing behind but the target as it was.
#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace Tarvo {

namespace {

// Renames from to to, replacing a file already there; 0, or the errno-style reason.
// POSIX rename replaces; the Windows C runtime's refuses an existing target, so there
// the system's own call does it. Its narrow-string variant reads paths in the same code
// page as fopen, so both name the same file.
int replaceFile(const std::string& from, const std::string& to)
{
#if defined(_WIN32)
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
#else
    errno = 0;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : (errno != 0 ? errno : EIO);
#endif
}

} // namespace

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
    if (!failed) {
        if (const int error = replaceFile(part, target); error != 0)
            fail(error);
    }
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
