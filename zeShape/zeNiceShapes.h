/// @file
/// Ready-made shapes. zeMeshShape: an N x M grid of vertices drawn as one
/// triangle strip between each pair of neighbouring rows, with per-vertex
/// colours and normals. Grid vertex (i, j) is shape vertex i * M + j.
#pragma once

#include "zeShape/zeShape.h"

/// An N x M grid of vertices drawn as triangle strips, with colours and normals.
class zeMeshShape : public zeShape {
 public:
  int32_t N;  ///< Rows.
  int32_t M;  ///< Vertices per row.

  zeMeshShape(int N, int M);         ///< The grid with (i, j) at x = i, y = j, z = 0.
  int getVertexIndex(int i, int j);  ///< i * M + j, untested.
  void setMeshVertex(int i, int j, float x, float y, float z);  ///< Moves grid vertex (i, j).
  /// Sets the colour of grid vertex (i, j).
  void setMeshVertexColor(int i, int j, float r, float g, float b, float a);

  // Linear time, no allocation; the general rule when the strips were changed.
  /// Per-vertex normals from vertexList: calculateNormals' bits when absVertexList is vertexList.
  void calculateMeshNormals();
  /// True while the mesh still has the strips, mode and counts its constructor gave it.
  bool hasGridStrips() const;
};
