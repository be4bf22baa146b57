// Whole files, huge-page-backed blocks and huge-page advice for the mesh readers. On Linux
// large files are mapped and large blocks are mapped on huge-page boundaries, which
// removes most of the page-fault cost of reading big meshes; elsewhere files are read
// into plain heap blocks.
#include "mesh/MeshMemory.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define VANTOR_HUGE_PAGES 1
#else
#include <cstdio>
#define VANTOR_HUGE_PAGES 0
#endif

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

namespace Tarvo {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kMappedBlock = std::size_t(1) << 20;

} // namespace

void FileContents::grow()
{
    char* bigger = static_cast<char*>(allocateLarge(capacity * 2));
    std::memcpy(bigger, bytes, length);
    deallocateLarge(bytes, capacity);
    bytes = bigger;
    capacity *= 2;
}

FileContents::~FileContents()
{
    if (bytes)
        deallocateLarge(bytes, capacity);
#if VANTOR_HUGE_PAGES
    if (mapping)
        ::munmap(const_cast<char*>(mapping), length);
#endif
}

#if !VANTOR_HUGE_PAGES
bool FileContents::map(int, std::size_t)
{
    return false;
}

bool FileContents::open(const char* path)
{
    if (!path || bytes)
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    capacity = std::size_t(1) << 16;
    bytes = static_cast<char*>(allocateLarge(capacity));
    length = 0;
    for (;;) {
        if (length == capacity)
            grow();
        const std::size_t got = std::fread(bytes + length, 1, capacity - length, file);
        length += got;
        if (got == 0) {
            const bool ok = !std::ferror(file);
            std::fclose(file);
            return ok;
        }
    }
}

void* allocateLarge(std::size_t bytes)
{
    return ::operator new(bytes);
}

void deallocateLarge(void* data, std::size_t)
{
    ::operator delete(data);
}

void adviseHugePages(const void*, std::size_t)
{
}
#else
// Mapping the page cache's copy of the file costs a few page-table entries per 64 KiB;
// reading it costs zeroing fresh memory and copying every byte into it, several times as
// much. (A file cut short by another program while it is mapped would fault on the lost
// pages; mesh files are replaced whole, never truncated in place.)
bool FileContents::map(int fd, std::size_t fileSize)
{
    if (fileSize < kMappedBlock)
        return false;
    void* mapped = ::mmap(nullptr, fileSize, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapped == MAP_FAILED)
        return false;
    mapping = static_cast<const char*>(mapped);
    length = fileSize;
    return true;
}

bool FileContents::open(const char* path)
{
    if (!path || bytes || mapping)
        return false;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return false;
    }
    if (S_ISREG(info.st_mode) && map(fd, static_cast<std::size_t>(info.st_size))) {
        ::close(fd);
        return true;
    }
    // The size is a first guess (special files report 0); the block grows if the file
    // holds more.
    capacity = (S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0) + 1;
    bytes = static_cast<char*>(allocateLarge(capacity));
    length = 0;
    for (;;) {
        if (length == capacity)
            grow();
        const ssize_t got = ::read(fd, bytes + length, capacity - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(fd);
            return got == 0;
        }
        length += static_cast<std::size_t>(got);
    }
}

void* allocateLarge(std::size_t bytes)
{
    if (bytes < kMappedBlock)
        return ::operator new(bytes);
    // Over-map by one huge page and trim, so the block starts on a huge-page boundary.
    const std::size_t mapped = bytes + kHugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t tail = aligned + ((bytes + page - 1) & ~(page - 1));
    const std::uintptr_t mappedEnd = start + mapped;
    if (mappedEnd > tail)
        ::munmap(reinterpret_cast<void*>(tail), mappedEnd - tail);
    ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void deallocateLarge(void* data, std::size_t bytes)
{
    if (bytes < kMappedBlock)
        ::operator delete(data);
    else
        ::munmap(data, bytes);
}

void adviseHugePages(const void* data, std::size_t bytes)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

#endif

} // namespace Tarvo
