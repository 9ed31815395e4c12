// Internal helpers of the shape library for its exact-size list blocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Resizes a list block to exactly count entries, keeping the leading
// entries (realloc semantics). A count of 0 releases the block. The entry
// types are plain float/int records, so moving their bytes is sound.
template <class T>
void zeResizeList(T*& list, int64_t count) {
  if (count <= 0) {
    std::free(static_cast<void*>(list));
    list = nullptr;
    return;
  }
  if (static_cast<uint64_t>(count) > SIZE_MAX / sizeof(T)) {
    std::fputs("zeShape: list is too large\n", stderr);
    std::exit(-1);
  }
  void* grown = std::realloc(static_cast<void*>(list), static_cast<size_t>(count) * sizeof(T));
  if (grown == nullptr) {
    // Writing through a null block would corrupt memory: end the process,
    // as the framework does with its other fatal conditions.
    std::fputs("zeShape: out of memory\n", stderr);
    std::exit(-1);
  }
  list = static_cast<T*>(grown);
}

// True when v names an existing vertex of a list of length n.
inline bool zeValidVertex(int32_t v, int32_t n) {
  return v >= 0 && v < n;
}
