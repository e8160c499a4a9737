#pragma once

// Resident memory of the process, for the memory benchmarks: what the
// system actually holds for us, whatever allocator the code uses.

#include <cstddef>
#include <functional>
#include <vector>

namespace residentmemory {

// Resident set size of this process in bytes (from /proc/self/statm); 0 when
// it cannot be read.
std::size_t ResidentBytes();

// Runs measure in a child process forked from this one, after the child has
// given its free heap pages back to the system, so that the figures are those
// of a process holding only what measure builds. measure appends its results;
// they come back through a pipe. Returns an empty list when the child fails.
std::vector<double> MeasureInChild(const std::function<void(std::vector<double>&)>& measure);

} // namespace residentmemory
