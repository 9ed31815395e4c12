/// @file
/// The triangles of a shape, walked as picking walks them: one place for the
/// rules of triangle lists, strips, fans and polygons and of the breaks in an
/// index list, for zeShape::pointInside and for any program that picks on
/// the triangles itself.
#pragma once

#include <cstdint>

#include "zeShape/zeShape.h"

/// True when drawStyle makes triangles: GL_TRIANGLES (4), GL_TRIANGLE_STRIP (5),
/// GL_TRIANGLE_FAN (6) and GL_POLYGON (9, taken as a fan).
inline bool zeDrawsTriangles(uint32_t drawStyle) {
  return drawStyle == 4 || drawStyle == 5 || drawStyle == 6 || drawStyle == 9;
}

/// Calls visit(i0, i1, i2) with the vertex indices of each triangle of shape's face sequence
/// (its index list when enableIndex is set, else its vertices in order), in order, and stops at
/// the first call that returns true; returns true when one did. The sequence falls into runs
/// between breaks: an entry of -1 is a break, and so is an entry that names no vertex of the
/// list. In each run,
/// - GL_TRIANGLES: entries 0-2, 3-5, ... are triangles; entries left over make none;
/// - GL_TRIANGLE_STRIP: every three consecutive entries are a triangle, in the entries' order
///   (the strip's alternate winding is the caller's to apply);
/// - GL_TRIANGLE_FAN and GL_POLYGON: the first entry is the centre of triangles (centre, k, k + 1)
///   over the entries that follow;
/// - any other drawStyle: no triangle.
/// Triangles without area are visited like any other. Allocates nothing.
template <class Visit>
bool zeWalkTriangles(const zeShape& shape, Visit visit) {
  const uint32_t style = shape.drawStyle;
  if (!zeDrawsTriangles(style)) return false;
  const bool indexed = shape.enableIndex;
  const int32_t n = indexed ? shape.indexListLength : shape.listLength;
  const int32_t vertices = shape.listLength;
  int32_t run = 0;                     // entries of the current run before this one
  int32_t first = -1, a = -1, b = -1;  // the run's first entry and the two last ones
  for (int32_t k = 0; k < n; ++k) {
    const int32_t v = indexed ? shape.indexList[k] : k;
    if (v < 0 || v >= vertices) {
      run = 0;
      continue;
    }
    if (style == 4) {
      if (run % 3 == 2 && visit(a, b, v)) return true;
    } else if (style == 5) {
      if (run >= 2 && visit(a, b, v)) return true;
    } else {
      if (run >= 2 && visit(first, b, v)) return true;
    }
    if (run == 0) first = v;
    a = b;
    b = v;
    ++run;
  }
  return false;
}
