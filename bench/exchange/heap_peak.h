#pragma once

#include <cstddef>

namespace nuv::bench {

// The heap of a benchmark program, counted by its own global operator new
// and delete (heap_peak.cpp replaces them): the bytes live now, and the
// most that were live since the last ResetHeapPeak. Unlike the resident
// set's high-water mark, the peak can be started again for each run.
std::size_t HeapLive();
std::size_t HeapPeak();
void ResetHeapPeak();

}  // namespace nuv::bench
