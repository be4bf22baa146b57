// Memory for large mesh data: files mapped from the page cache, big arrays backed by huge
// pages where the kernel offers them. A million-triangle mesh spends more time in page
// faults and in zeroing fresh memory than in parsing otherwise.
#pragma once

#include <cstddef>
#include <vector>

namespace Tarvo {

// A whole file's bytes: a large regular file mapped from the page cache, anything else
// read into one huge-page-backed block.
class FileContents {
public:
    FileContents() = default;
    ~FileContents();
    FileContents(const FileContents&) = delete;
    FileContents& operator=(const FileContents&) = delete;

    // False when the file cannot be opened or read (a directory cannot). Text and
    // binary modes read the same bytes on this platform.
    bool open(const char* path);

    const char* data() const { return mapping ? mapping : bytes; }
    std::size_t size() const { return length; }

private:
    void grow(); // doubles the block, keeping what was read
    bool map(int fd, std::size_t fileSize);

    const char* mapping = nullptr;
    char* bytes = nullptr;
    std::size_t capacity = 0;
    std::size_t length = 0;
};

// Asks for huge pages over the whole 2 MiB pages inside [data, data + bytes). Only worth
// it for storage that has not been touched yet; a no-op for small ranges.
void adviseHugePages(const void* data, std::size_t bytes);

// Memory for arrays that may grow large: blocks of 1 MiB and more are mapped directly,
// 2 MiB aligned and advised for huge pages before anything is written to them. The
// mapping reserves address space only (no swap or commit is charged), so a reader can
// reserve the most a file could ever need and pay only for the pages it fills.
void* allocateLarge(std::size_t bytes);
void deallocateLarge(void* data, std::size_t bytes);

template <typename T>
struct LargeArrayAllocator {
    using value_type = T;
    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* data, std::size_t n) { deallocateLarge(data, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LargeArrayAllocator<U>&) const { return true; }
};

template <typename T>
using LargeArray = std::vector<T, LargeArrayAllocator<T>>;

// Reserves room for count more elements and advises huge pages for the new room.
template <typename T, typename A>
void reserveLarge(std::vector<T, A>& array, std::size_t count)
{
    const std::size_t before = array.capacity();
    array.reserve(array.size() + count);
    if (array.capacity() != before)
        adviseHugePages(array.data() + array.size(),
                        (array.capacity() - array.size()) * sizeof(T));
}

} // namespace Tarvo
