// Ready-made shapes. zeMeshShape: an N x M grid of vertices drawn as one
// triangle strip between each pair of neighbouring rows, with per-vertex
// colours and normals. Grid vertex (i, j) is shape vertex i * M + j.
#pragma once

#include "zeShape/zeShape.h"

class zeMeshShape : public zeShape {
 public:
  int32_t N;  // rows
  int32_t M;  // vertices per row

  zeMeshShape(int N, int M);
  int getVertexIndex(int i, int j);  // i * M + j, untested
  void setMeshVertex(int i, int j, float x, float y, float z);
  void setMeshVertexColor(int i, int j, float r, float g, float b, float a);

  // Linear time, no allocation; the general rule when the strips were changed.
  /// Per-vertex normals from vertexList: calculateNormals' bits when absVertexList is vertexList.
  void calculateMeshNormals();
  /// True while the mesh still has the strips, mode and counts its constructor gave it.
  bool hasGridStrips() const;
};
