// The temporary is created exclusively under a fresh random name, so no two writers ever
// share one, and it is removed on every path that does not end in a rename: a failed or
// abandoned write leaves nothing behind but the target as it was.
#include "base/AtomicFile.h"
#include "base/FileIdentity.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace Tarvo {

namespace {

namespace fs = std::filesystem;

// Tries at a free temporary name; each clash is another writer's temporary, so running
// out means something is badly wrong with the folder.
constexpr int maxNameTries = 100;

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

// Paths that stand for a process's open descriptors (/dev/stdout leads to /proc/self/fd/1):
// what they lead to is whatever the descriptor is, perhaps a pipe or a deleted file, and
// only opening the path itself reaches it.
bool namesADescriptor(const std::string& path)
{
    return path.rfind("/proc/", 0) == 0 || path.rfind("/dev/fd/", 0) == 0;
}

// The file a rename must replace for path: path with its symbolic links followed, or
// empty when path is to be written directly (it exists and is no regular file, or it
// leads through a process's descriptor).
std::string renameTarget(const std::string& path)
{
    std::error_code error;
    const fs::file_status followed = fs::status(path, error);
    if (fs::exists(followed) && !fs::is_regular_file(followed))
        return {};
    const std::vector<std::string> chain = linkChain(path);
    for (const std::string& step : chain)
        if (namesADescriptor(step))
            return {};
    return chain.back();
}

// Random letters and digits for a temporary's name. Uniqueness comes from creating the
// file exclusively; the randomness only makes clashes rare.
std::string randomTag()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = [] {
        std::uint64_t s = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        try {
            std::random_device device;
            s ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
        } catch (...) {
        }
        return s;
    }();
    // splitmix64 of the seed and a count, so that names in one process never repeat.
    std::uint64_t z = seed + 0x9e3779b97f4a7c15ULL * (counter.fetch_add(1) + 1);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    std::string tag(6, 'x');
    for (char& c : tag) {
        c = alphabet[z % (sizeof alphabet - 1)];
        z /= sizeof alphabet - 1;
    }
    return tag;
}

// Creates a file that did not exist, for reading and writing; its descriptor, or -1 with
// errno set.
int createExclusive(const std::string& path)
{
#if defined(_WIN32)
    return _open(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

// The replaced file's permissions carry over to its replacement (a file kept private
// stays private); a new file gets the usual ones, as fopen would give it.
void keepPermissions(int fd, const std::string& replaced)
{
#if defined(_WIN32)
    (void)fd;
    (void)replaced;
#else
    struct stat old{};
    if (::stat(replaced.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        (void)::fchmod(fd, old.st_mode & 0777);
#endif
}

void closeDescriptor(int fd)
{
#if defined(_WIN32)
    _close(fd);
#else
    ::close(fd);
#endif
}

std::FILE* openDescriptor(int fd, const char* mode)
{
#if defined(_WIN32)
    return _fdopen(fd, mode);
#else
    return ::fdopen(fd, mode);
#endif
}

} // namespace

AtomicFile::AtomicFile(const std::string& path, const char* mode) : target(path), destination(renameTarget(path))
{
    errno = 0;
    if (destination.empty()) {
        file = std::fopen(target.c_str(), mode);
        if (!file)
            fail(errno);
        return;
    }
    const fs::path to = destination;
    // The whole name goes into the temporary's, so a name the file system cannot hold
    // fails here, before anything is replaced, and not at the rename.
    const std::string stem = to.filename().string();
    for (int attempt = 0; attempt < maxNameTries; ++attempt) {
        const std::string candidate = (to.parent_path() / (stem + "." + randomTag() + partSuffix)).string();
        errno = 0;
        const int fd = createExclusive(candidate);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            fail(errno);
            return;
        }
        keepPermissions(fd, destination);
        file = openDescriptor(fd, mode);
        if (!file) {
            const int error = errno;
            closeDescriptor(fd);
            std::remove(candidate.c_str());
            fail(error);
            return;
        }
        part = candidate;
        return;
    }
    fail(EEXIST);
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

void AtomicFile::removePart()
{
    if (!part.empty())
        std::remove(part.c_str());
    part.clear();
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

bool AtomicFile::seal()
{
    if (sealed)
        return !failed;
    if (!file) {
        failed = true;
        if (why.empty())
            why = std::strerror(EBADF);
        return false;
    }
    sealed = true;
    // A stream error the caller's own fwrite calls met counts as a failed write.
    if (!failed && std::ferror(file))
        fail(errno);
    errno = 0;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!closed && !failed)
        fail(errno);
    if (failed)
        removePart();
    return !failed;
}

bool AtomicFile::commit()
{
    if (!seal())
        return false;
    if (part.empty())
        return true; // written directly, or already committed
    if (const int error = replaceFile(part, destination); error != 0) {
        fail(error);
        removePart();
        return false;
    }
    part.clear();
    return true;
}

void AtomicFile::abandon()
{
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    if (!part.empty()) {
        removePart();
        failed = true;
    }
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
