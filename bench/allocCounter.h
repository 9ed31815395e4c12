// Counts the heap allocations of the whole process (malloc, calloc, realloc,
// the aligned variants, and operator new, which goes through malloc), so a
// program can show that a stretch of work allocates nothing. Link
// bench/allocCounter.cpp into the executable itself: in a normal build it
// replaces the C allocation functions, forwarding to the C library's; under
// AddressSanitizer it uses the sanitizer's allocation hook instead.
#pragma once

#include <cstdint>

namespace alloccount {

// Allocations made since the process started.
uint64_t allocations();

}  // namespace alloccount
