/// @file
/// Vertex picking on a drawn shape: which vertex the pointer is at.
#pragma once

#include "zeShape/zeShape.h"

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// Where the pointer meets a drawn shape.
struct SurfacePick {
  /// The vertex named, or -1 when the pointer is off the shape.
  int vertex = -1;
  /// Depth of the shape at the pointer after the division by w: -1 on the near plane, 1 on the far
  /// one.
  double depth = 0.0;
};

/// The vertex nearest the window point (x, y) on the front-most surface of shape under it, from the
/// last draw with picking on and the camera capture of that frame. Allocates nothing.
SurfacePick pickSurface(zeShape& shape, float x, float y);

/// pickSurface's vertex: the nearest vertex of the front-most surface under (x, y), or -1.
int nearestVertex(zeShape& shape, float x, float y);

}  // namespace viewkit
