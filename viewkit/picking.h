/// @file
/// Vertex picking on a drawn shape: which vertex the pointer is at.
#pragma once

#include "zeShape/zeShape.h"

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// The index of the vertex of `shape` whose window position of the last draw
/// (screenVertexList, kept while picking is on) is nearest to the window point
/// (x, y), origin bottom-left, when shape.pointInside(x, y) holds; -1 when it
/// does not (off the shape, or picking off). Vertices that did not project
/// (behind the near plane) are never picked; among equally near vertices the
/// lowest index wins. Allocates nothing.
int nearestVertex(zeShape& shape, float x, float y);

}  // namespace viewkit
