#include "heapwatch/HeapWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocationCount{0};
std::atomic<std::size_t> largest{0};

void count(std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

} // namespace

namespace heapwatch {

void reset()
{
    allocationCount.store(0);
    largest.store(0);
}

long allocations()
{
    return allocationCount.load();
}

std::size_t largestAllocation()
{
    return largest.load();
}

} // namespace heapwatch

// GCC sees a new-expression's storage reach std::free through these and warns of a
// mismatch; the pair is consistent.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    count(size);
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
