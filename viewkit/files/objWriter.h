/// @file
/// Shapes as Wavefront OBJ text, primitive by primitive as the shape library
/// draws them.
#pragma once

#include <cstdio>
#include <string>

#include "zeShape/zeShape.h"

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// What one call wrote, line by kind.
struct ObjCounts {
  long vertices = 0;  ///< v lines.
  long normals = 0;   ///< vn lines.
  long faces = 0;     ///< f lines.
  long lines = 0;     ///< l lines.
  long points = 0;    ///< p lines.
};

/// Writes shape as the OBJ object "o name": a v line per vertex (the shape's
/// own vertexList, untransformed), a vn line per vertex when per-vertex
/// normals are on (faces then name them as a//a), and its primitives by
/// drawStyle: triangles, strips and fans as triangles (every triangle of a
/// strip wound alike, counter-clockwise about the normals the library
/// computes for it, which is the reverse of GL's strip order), quads and
/// polygons as polygons, lines, line strips and loops as l, points as p.
/// Index -1 ends a primitive and entries naming no vertex are skipped, as
/// drawing does. firstVertex is the OBJ number of the shape's vertex 0 (1 for
/// the first object of a file); it is advanced past this shape's vertices.
/// Returns false when a write fails.
bool writeObjShape(FILE* out, const zeShape& shape, const std::string& name, long& firstVertex,
                   ObjCounts* counts = nullptr);

}  // namespace viewkit
