// File mapping and huge-page advice for the mesh readers (Linux).
#include "mesh/MeshMemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace Tarvo {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kMappedBlock = std::size_t(1) << 20;

// Reads everything a descriptor gives, for files that cannot be mapped.
bool readAll(int fd, std::unique_ptr<char[]>& copy, std::size_t& length)
{
    std::size_t capacity = 1 << 16;
    copy.reset(new char[capacity]);
    length = 0;
    for (;;) {
        if (length == capacity) {
            std::unique_ptr<char[]> bigger(new char[capacity * 2]);
            std::memcpy(bigger.get(), copy.get(), length);
            copy = std::move(bigger);
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, copy.get() + length, capacity - length);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        length += static_cast<std::size_t>(got);
    }
}

} // namespace

MappedFile::~MappedFile()
{
    if (mapping)
        ::munmap(mapping, length);
}

bool MappedFile::open(const char* path)
{
    if (!path)
        return false;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && S_ISDIR(info.st_mode))
        ok = false;
    if (ok && S_ISREG(info.st_mode) && info.st_size > 0) {
        length = static_cast<std::size_t>(info.st_size);
        void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapped != MAP_FAILED) {
            mapping = mapped;
            bytes = static_cast<const char*>(mapped);
            ::close(fd);
            return true;
        }
    }
    if (ok)
        ok = readAll(fd, copy, length);
    bytes = copy.get();
    ::close(fd);
    return ok;
}

void* allocateLarge(std::size_t bytes)
{
    if (bytes < kMappedBlock)
        return ::operator new(bytes);
    // Over-map by one huge page and trim, so the block starts on a huge-page boundary.
    const std::size_t mapped = bytes + kHugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
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

} // namespace Tarvo
