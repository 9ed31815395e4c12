// Internal helpers of the shape library for its exact-size list blocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "zeShape/zeShape.h"

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

// The face sequence of a shape: the index list when indexing is on, the
// vertex list otherwise; entry k names vertex at(k). An entry that names no
// existing vertex reads as a break (-1), so faces, segments and points never
// reach outside the lists.
struct zeFaceSequence {
  const int32_t* index;  // null: entry k is vertex k
  int32_t n;
  int32_t vertexCount;

  explicit zeFaceSequence(const zeShape& s)
      : index(s.enableIndex ? s.indexList : nullptr),
        n(s.enableIndex ? s.indexListLength : s.listLength),
        vertexCount(s.listLength) {}

  int32_t at(int32_t k) const {
    if (index == nullptr) return k;
    const int32_t v = index[k];
    return zeValidVertex(v, vertexCount) ? v : -1;
  }
};

// Applies the shape's translation, rotation and scale to the current matrix
// of the transform stack, in the order its transformOrder names.
void zeApplyShapeTransform(const zeShape& s);

// calculateNormals' face rule on the positions p (listLength entries)
// instead of absVertexList; normals must be enabled.
void zeCalculateNormalsFrom(zeShape& s, const zeVec3f* p);

// zeTransformToReal of in[i] into real[i], then zeTransformRealToScreen of
// that into screen[i], for i below n; the same bits as the two calls.
void zeTransformListToRealAndScreen(const zeVec3f* in, zeVec3f* real, zeVec3f* screen, int32_t n);
