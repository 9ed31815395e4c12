#include "zeShape/zeNiceShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "zeShape/zeShapeLists.h"

// ---- zeObject input-handler defaults: objects ignore input unless a
// subclass cares --------------------------------------------------------------

void zeObject::mouseDown(float, float, int) {}
void zeObject::mouseUp(float, float, int) {}
void zeObject::mouseMove(float, float) {}
void zeObject::mouseDrag(float, float) {}
void zeObject::keyDown(char) {}
void zeObject::specialKeyDown(int) {}

// ---- zeMeshShape ----------------------------------------------------------------

zeMeshShape::zeMeshShape(int N, int M) : zeShape(true, true, true), N(N), M(M) {
  // The lists addPoint and addIndex would grow one entry at a time, each
  // allocated once at its final size and filled with the same values: N x M
  // vertices (the product, as the appending loop counts them), row after
  // row at (i, j, 0), and one strip per pair of neighbouring rows, each
  // ended by a break.
  const int64_t cells = static_cast<int64_t>(N) * M;
  const int32_t count = cells <= 0 ? 0 : static_cast<int32_t>(std::min<int64_t>(cells, INT32_MAX));
  listLength = count;
  zeResizeList(vertexList, count);
  zeResizeList(absVertexList, count);
  zeResizeList(screenVertexList, count);
  zeResizeList(normalList, count);
  zeResizeList(normalCountList, count);
  zeResizeList(colorList, count);
  for (int32_t k = 0; k < count; ++k) {
    vertexList[k].set(0.0f, 0.0f, 0.0f);
    absVertexList[k].set(0.0f, 0.0f, 0.0f);
    screenVertexList[k].set(0.0f, 0.0f, 0.0f);
    normalList[k].set(0.0f, 0.0f, 1.0f);
    normalCountList[k] = 0;
    colorList[k].set(1.0f, 1.0f, 1.0f, 1.0f);
  }
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < M; ++j) {
      const int64_t v = static_cast<int64_t>(i) * M + j;
      if (v < count) vertexList[v].set(static_cast<float>(i), static_cast<float>(j), 0.0f);
    }

  const int64_t strips = N >= 2 ? static_cast<int64_t>(N) - 1 : 0;
  const int64_t perStrip = 2 * static_cast<int64_t>(M > 0 ? M : 0) + 1;
  const int32_t entries = static_cast<int32_t>(std::min<int64_t>(strips * perStrip, INT32_MAX));
  indexListLength = entries;
  zeResizeList(indexList, entries);
  int32_t k = 0;
  // A list that would pass INT32_MAX entries stops there, as addIndex does.
  auto append = [&](int32_t v) {
    if (k < entries) indexList[k++] = v;
  };
  for (int i = 0; i < N - 1; ++i) {
    for (int j = 0; j < M; ++j) {
      append(getVertexIndex(i, j));
      append(getVertexIndex(i + 1, j));
    }
    append(-1);
  }
  drawStyle = 5;  // GL_TRIANGLE_STRIP
}

int zeMeshShape::getVertexIndex(int i, int j) {
  return i * M + j;
}

void zeMeshShape::setMeshVertex(int i, int j, float x, float y, float z) {
  setVertex(getVertexIndex(i, j), x, y, z);
}

void zeMeshShape::setMeshVertexColor(int i, int j, float r, float g, float b, float a) {
  setVertexColor(getVertexIndex(i, j), r, g, b, a);
}

namespace {

// calculateNormals' arithmetic, inline and in the same order: the unit
// normal of p1 - p0 cross p2 - p0, (0, 0, 0) for a face of zero area.
inline void meshFaceNormal(const zeVec3f& p0, const zeVec3f& p1, const zeVec3f& p2, float sign,
                           float out[3]) {
  const float ax = p1.x - p0.x, ay = p1.y - p0.y, az = p1.z - p0.z;
  const float bx = p2.x - p0.x, by = p2.y - p0.y, bz = p2.z - p0.z;
  float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
  const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (len != 0.0f) {
    nx /= len;
    ny /= len;
    nz /= len;
  }
  out[0] = nx * sign;
  out[1] = ny * sign;
  out[2] = nz * sign;
}

inline void meshAdd(zeVec3f* normals, int32_t* counts, int32_t v, const float f[3]) {
  normals[v].x += f[0];
  normals[v].y += f[1];
  normals[v].z += f[2];
  counts[v] += 1;
}

}  // namespace

bool zeMeshShape::hasGridStrips() const {
  if (N < 2 || M < 2 || !enableIndex || drawStyle != 5) return false;
  if (static_cast<int64_t>(N) * M != listLength) return false;
  if ((static_cast<int64_t>(N) - 1) * (2 * static_cast<int64_t>(M) + 1) != indexListLength)
    return false;
  const int32_t* e = indexList;
  for (int32_t i = 0; i + 1 < N; ++i) {
    const int32_t top = i * M;
    for (int32_t j = 0; j < M; ++j, e += 2)
      if (e[0] != top + j || e[1] != top + M + j) return false;
    if (*e++ != -1) return false;
  }
  return true;
}

void zeMeshShape::calculateMeshNormals() {
  if (!enableVertexNormals) {
    std::printf("calculateMeshNormals: vertex normals are not enabled\n");
    return;
  }
  // A mesh whose strips or mode were changed gets the general rule.
  if (!hasGridStrips()) {
    zeCalculateNormalsFrom(*this, vertexList);
    return;
  }
  zeVec3f* normals = normalList;
  int32_t* counts = normalCountList;
  for (int32_t v = 0; v < listLength; ++v) {
    normals[v].set(0.0f, 0.0f, 0.0f);
    counts[v] = 0;
  }
  // Strip i runs (i, 0), (i + 1, 0), (i, 1), ...; its triangles alternate
  // between (a, b, c), negated as the first of each strip pair, and (b, c, d)
  // over the cell a = (i, j), b = (i + 1, j), c = (i, j + 1), d = (i + 1, j + 1):
  // the faces, signs and order of calculateNormals on the same strips.
  const zeVec3f* p = vertexList;
  float f[3];
  for (int32_t i = 0; i + 1 < N; ++i) {
    const int32_t row = i * M;
    for (int32_t j = 0; j + 1 < M; ++j) {
      const int32_t a = row + j, b = a + M, c = a + 1, d = b + 1;
      meshFaceNormal(p[a], p[b], p[c], -1.0f, f);
      meshAdd(normals, counts, a, f);
      meshAdd(normals, counts, b, f);
      meshAdd(normals, counts, c, f);
      meshFaceNormal(p[b], p[c], p[d], 1.0f, f);
      meshAdd(normals, counts, b, f);
      meshAdd(normals, counts, c, f);
      meshAdd(normals, counts, d, f);
    }
  }
  for (int32_t v = 0; v < listLength; ++v) {
    zeVec3f& n = normals[v];
    if (counts[v] != 0) {
      const float count = static_cast<float>(counts[v]);
      n.x /= count;
      n.y /= count;
      n.z /= count;
      const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
      if (len != 0.0f) {
        n.x /= len;
        n.y /= len;
        n.z /= len;
      }
    } else {
      n.set(0.0f, 0.0f, 1.0f);
    }
  }
}
