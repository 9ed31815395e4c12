#include "zeShape/zeNiceShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "zeShape/zeShapeLists.h"

// SSE2 lanes for the mesh normals; builds without SSE2 (the browser), or
// with ZE_PLAIN_FLOATS, take the scalar code, which gives the same bits.
#if defined(__SSE2__) && !defined(ZE_PLAIN_FLOATS)
#define ZE_MESH_LANES 1
#include <emmintrin.h>
#else
#define ZE_MESH_LANES 0
#endif

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
  // Each list is allocated once at its final size and filled with what
  // appending with addPoint and addIndex leaves: N x M vertices (the
  // product, as an appending loop counts them) at (i, j, 0) row after row,
  // and one strip per pair of neighbouring rows, each ended by a break.
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

// The last step of calculateNormals for one vertex: the mean of its face
// normals made unit, (0, 0, 1) for a vertex no face uses.
inline void meshFinish(zeVec3f& n, int32_t count) {
  if (count == 0) {
    n.set(0.0f, 0.0f, 1.0f);
    return;
  }
  const float c = static_cast<float>(count);
  n.x /= c;
  n.y /= c;
  n.z /= c;
  const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (len != 0.0f) {
    n.x /= len;
    n.y /= len;
    n.z /= len;
  }
}

#if ZE_MESH_LANES
// x, y and z of four consecutive vertices, one vector each.
inline void load4(const zeVec3f* q, __m128& x, __m128& y, __m128& z) {
  x = _mm_setr_ps(q[0].x, q[1].x, q[2].x, q[3].x);
  y = _mm_setr_ps(q[0].y, q[1].y, q[2].y, q[3].y);
  z = _mm_setr_ps(q[0].z, q[1].z, q[2].z, q[3].z);
}

// meshFaceNormal in four lanes: each lane does exactly the scalar
// operations, and a lane whose length is 0 keeps its cross product.
inline void faceNormal4(__m128 p0x, __m128 p0y, __m128 p0z, __m128 p1x, __m128 p1y, __m128 p1z,
                        __m128 p2x, __m128 p2y, __m128 p2z, __m128 sign, float out[3][4]) {
  const __m128 ax = _mm_sub_ps(p1x, p0x), ay = _mm_sub_ps(p1y, p0y), az = _mm_sub_ps(p1z, p0z);
  const __m128 bx = _mm_sub_ps(p2x, p0x), by = _mm_sub_ps(p2y, p0y), bz = _mm_sub_ps(p2z, p0z);
  __m128 nx = _mm_sub_ps(_mm_mul_ps(ay, bz), _mm_mul_ps(az, by));
  __m128 ny = _mm_sub_ps(_mm_mul_ps(az, bx), _mm_mul_ps(ax, bz));
  __m128 nz = _mm_sub_ps(_mm_mul_ps(ax, by), _mm_mul_ps(ay, bx));
  const __m128 len = _mm_sqrt_ps(
      _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, nx), _mm_mul_ps(ny, ny)), _mm_mul_ps(nz, nz)));
  const __m128 nonzero = _mm_cmpneq_ps(len, _mm_setzero_ps());
  nx = _mm_or_ps(_mm_and_ps(nonzero, _mm_div_ps(nx, len)), _mm_andnot_ps(nonzero, nx));
  ny = _mm_or_ps(_mm_and_ps(nonzero, _mm_div_ps(ny, len)), _mm_andnot_ps(nonzero, ny));
  nz = _mm_or_ps(_mm_and_ps(nonzero, _mm_div_ps(nz, len)), _mm_andnot_ps(nonzero, nz));
  _mm_storeu_ps(out[0], _mm_mul_ps(nx, sign));
  _mm_storeu_ps(out[1], _mm_mul_ps(ny, sign));
  _mm_storeu_ps(out[2], _mm_mul_ps(nz, sign));
}

// The two faces of four cells along a strip: top and bottom each hold the
// five vertices j to j + 4 of their row.
inline void meshFaceNormals4(const zeVec3f* top, const zeVec3f* bottom, float even[3][4],
                             float odd[3][4]) {
  __m128 t0x, t0y, t0z, t1x, t1y, t1z, b0x, b0y, b0z, b1x, b1y, b1z;
  load4(top, t0x, t0y, t0z);
  load4(top + 1, t1x, t1y, t1z);
  load4(bottom, b0x, b0y, b0z);
  load4(bottom + 1, b1x, b1y, b1z);
  faceNormal4(t0x, t0y, t0z, b0x, b0y, b0z, t1x, t1y, t1z, _mm_set1_ps(-1.0f), even);
  faceNormal4(b0x, b0y, b0z, t1x, t1y, t1z, b1x, b1y, b1z, _mm_set1_ps(1.0f), odd);
}

// meshFinish for four consecutive vertices, each used by some face (in a
// grid of at least 2 x 2 every vertex is).
inline void meshFinish4(zeVec3f* n, const int32_t* counts) {
  __m128 x, y, z;
  load4(n, x, y, z);
  const __m128 c = _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(counts)));
  x = _mm_div_ps(x, c);
  y = _mm_div_ps(y, c);
  z = _mm_div_ps(z, c);
  const __m128 len =
      _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z)));
  const __m128 nonzero = _mm_cmpneq_ps(len, _mm_setzero_ps());
  x = _mm_or_ps(_mm_and_ps(nonzero, _mm_div_ps(x, len)), _mm_andnot_ps(nonzero, x));
  y = _mm_or_ps(_mm_and_ps(nonzero, _mm_div_ps(y, len)), _mm_andnot_ps(nonzero, y));
  z = _mm_or_ps(_mm_and_ps(nonzero, _mm_div_ps(z, len)), _mm_andnot_ps(nonzero, z));
  float ox[4], oy[4], oz[4];
  _mm_storeu_ps(ox, x);
  _mm_storeu_ps(oy, y);
  _mm_storeu_ps(oz, z);
  for (int k = 0; k < 4; ++k) n[k].set(ox[k], oy[k], oz[k]);
}
#endif

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
  for (int32_t i = 0; i + 1 < N; ++i) {
    const int32_t row = i * M;
    zeVec3f* top = normals + row;
    zeVec3f* bottom = top + M;
    int32_t* topCount = counts + row;
    int32_t* bottomCount = topCount + M;
    // The sums of the strip's current top and bottom vertex stay in
    // registers from one cell to the next; each vertex still receives its
    // face normals one at a time in calculateNormals' order.
    zeVec3f t = top[0], b = bottom[0];
    int32_t tc = topCount[0], bc = bottomCount[0];
    auto cell = [&](int32_t j, const float fe[3], const float fo[3]) {
      zeVec3f c = top[j + 1];  // c and d: first touched by this cell
      t.x += fe[0], t.y += fe[1], t.z += fe[2];
      b.x += fe[0], b.y += fe[1], b.z += fe[2];
      c.x += fe[0], c.y += fe[1], c.z += fe[2];
      b.x += fo[0], b.y += fo[1], b.z += fo[2];
      c.x += fo[0], c.y += fo[1], c.z += fo[2];
      zeVec3f d = bottom[j + 1];
      d.x += fo[0], d.y += fo[1], d.z += fo[2];
      top[j] = t;
      bottom[j] = b;
      topCount[j] = tc + 1;
      bottomCount[j] = bc + 2;
      t = c;
      b = d;
      tc = topCount[j + 1] + 2;
      bc = bottomCount[j + 1] + 1;
    };
    int32_t j = 0;
#if ZE_MESH_LANES
    // Four cells at a time: their eight face normals side by side in lanes.
    for (; j + 4 < M; j += 4) {
      float even[3][4], odd[3][4];
      meshFaceNormals4(p + row + j, p + row + M + j, even, odd);
      for (int32_t k = 0; k < 4; ++k) {
        const float fe[3] = {even[0][k], even[1][k], even[2][k]};
        const float fo[3] = {odd[0][k], odd[1][k], odd[2][k]};
        cell(j + k, fe, fo);
      }
    }
#endif
    for (; j + 1 < M; ++j) {
      const int32_t a = row + j, bv = a + M;
      float fe[3], fo[3];
      meshFaceNormal(p[a], p[bv], p[a + 1], -1.0f, fe);
      meshFaceNormal(p[bv], p[a + 1], p[bv + 1], 1.0f, fo);
      cell(j, fe, fo);
    }
    top[M - 1] = t;
    bottom[M - 1] = b;
    topCount[M - 1] = tc;
    bottomCount[M - 1] = bc;
  }
  int32_t v = 0;
#if ZE_MESH_LANES
  for (; v + 4 <= listLength; v += 4) meshFinish4(normals + v, counts + v);
#endif
  for (; v < listLength; ++v) meshFinish(normals[v], counts[v]);
}
