// Counts the heap allocations a program makes, for tests and benchmarks that show a piece
// of code allocates nothing, or nothing large, while it runs. Linking the library replaces
// the program's global allocation functions (plain new and delete; the array forms reach
// them). The counts cover every thread.
#pragma once

#include <cstddef>

namespace heapwatch {

// Starts both counts again from zero.
void reset();

// Allocations since the last reset.
long allocations();

// The largest single allocation since the last reset, in bytes.
std::size_t largestAllocation();

} // namespace heapwatch
