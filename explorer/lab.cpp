#include "explorer/lab.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "zeShape/zeTransforms.h"

namespace explorer {

namespace {

double cross(double ax, double ay, double bx, double by, double px, double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

bool within(double a, double b, double p) {
  return p >= std::min(a, b) && p <= std::max(a, b);
}

// A vertex the camera could not place gets -FLT_MAX (it lies in the eye's plane).
bool drawn(const zeVec3f& s) {
  return s.x > -FLT_MAX && s.y > -FLT_MAX && std::isfinite(s.x) && std::isfinite(s.y);
}

// The camera after the view: model point to clip coordinates, in double.
void clipMatrix(const zeMatrix4f& space, double out[4][4]) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += double(cameraMatrix.m[r][k]) * double(space.m[k][c]);
      out[r][c] = sum;
    }
}

// Gauss-Jordan with partial pivoting; false when singular.
bool invert(const double in[4][4], double out[4][4]) {
  double a[4][8];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 8; ++c) a[r][c] = c < 4 ? in[r][c] : (c - 4 == r ? 1.0 : 0.0);
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 1e-300)) return false;
    for (int k = 0; k < 8; ++k) std::swap(a[c][k], a[pivot][k]);
    const double p = a[c][c];
    for (int k = 0; k < 8; ++k) a[c][k] /= p;
    for (int r = 0; r < 4; ++r) {
      if (r == c) continue;
      const double f = a[r][c];
      for (int k = 0; k < 8; ++k) a[r][k] -= f * a[c][k];
    }
  }
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out[r][c] = a[r][c + 4];
  return true;
}

}  // namespace

bool segmentsCross(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                   double dy) {
  const double d1 = cross(cx, cy, dx, dy, ax, ay), d2 = cross(cx, cy, dx, dy, bx, by);
  const double d3 = cross(ax, ay, bx, by, cx, cy), d4 = cross(ax, ay, bx, by, dx, dy);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
    return true;
  // Touching: an end on the other segment.
  return (d1 == 0 && within(cx, dx, ax) && within(cy, dy, ay)) ||
         (d2 == 0 && within(cx, dx, bx) && within(cy, dy, by)) ||
         (d3 == 0 && within(ax, bx, cx) && within(ay, by, cy)) ||
         (d4 == 0 && within(ax, bx, dx) && within(ay, by, dy));
}

int cutAlong(cloth::Cloth& cloth, const zeVec3f* screen, float x0, float y0, float x1, float y1) {
  const int N = cloth.size();
  const float left = std::min(x0, x1), right = std::max(x0, x1);
  const float low = std::min(y0, y1), high = std::max(y0, y1);
  int cut = 0;
  auto tryLink = [&](int a, int b, bool right_) {
    const zeVec3f &p = screen[a], &q = screen[b];
    // Most links lie wholly to one side of the stroke's box.
    if ((p.x < left && q.x < left) || (p.x > right && q.x > right) || (p.y < low && q.y < low) ||
        (p.y > high && q.y > high))
      return;
    if (!drawn(p) || !drawn(q)) return;
    if (!segmentsCross(x0, y0, x1, y1, p.x, p.y, q.x, q.y)) return;
    cut += right_ ? cloth.cutRight(a) : cloth.cutUp(a);
  };
  for (int n = 0; n < cloth.nodeCount(); ++n) {
    if (cloth.linkRight(n)) tryLink(n, n + 1, true);
    if (cloth.linkUp(n)) tryLink(n, n + N, false);
  }
  return cut;
}

// Strip i runs (i, 0), (i + 1, 0), (i, 1), (i + 1, 1), ... over the cells
// a = (i, j), b = (i + 1, j), c = (i, j + 1), d = (i + 1, j + 1); its
// triangles alternate between (a, b, c) at an even place and (b, c, d) at an
// odd one. A run broken off restarts with a, b so that its triangles keep
// their places' parity (and so their winding and normals); a lone (b, c, d)
// is sent as c, b, d, the order the strip's odd place draws it in.
void buildFaces(const cloth::Cloth& cloth, zeMeshShape& mesh) {
  const int N = cloth.size();
  auto walk = [&](auto emit) {
    for (int i = 0; i + 1 < N; ++i) {
      bool open = false;
      for (int j = 0; j + 1 < N; ++j) {
        const int a = i * N + j, b = a + N, c = a + 1, d = b + 1;
        const bool first = cloth.linkUp(a) && cloth.linkRight(a);
        const bool second = cloth.linkRight(b) && cloth.linkUp(c);
        if (open && !first) {
          emit(-1);
          open = false;
        }
        if (first) {
          if (!open) {
            emit(a);
            emit(b);
          }
          emit(c);
          if (second) {
            emit(d);
            open = true;
          } else {
            emit(-1);
            open = false;
          }
        } else if (second) {
          emit(c);
          emit(b);
          emit(d);
          emit(-1);
        }
      }
      if (open) emit(-1);
    }
  };
  int32_t count = 0;
  walk([&count](int32_t) { ++count; });
  int32_t* out = mesh.resizeIndexList(count);
  walk([&out](int32_t v) { *out++ = v; });
}

bool windowDepth(const zeMatrix4f& space, const zeVec3f& p, double& depth) {
  double m[4][4];
  clipMatrix(space, m);
  const double z = m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3];
  const double w = m[3][0] * p.x + m[3][1] * p.y + m[3][2] * p.z + m[3][3];
  if (!(w > 0.0)) return false;
  depth = z / w;
  return std::isfinite(depth);
}

bool unproject(const zeMatrix4f& space, float x, float y, double depth, zeVec3f& out) {
  double m[4][4], inv[4][4];
  clipMatrix(space, m);
  if (!invert(m, inv) || view[2] <= 0 || view[3] <= 0) return false;
  const double ndc[4] = {(x - view[0]) / (view[2] * 0.5) - 1.0,
                         (y - view[1]) / (view[3] * 0.5) - 1.0, depth, 1.0};
  double p[4];
  for (int r = 0; r < 4; ++r)
    p[r] = inv[r][0] * ndc[0] + inv[r][1] * ndc[1] + inv[r][2] * ndc[2] + inv[r][3] * ndc[3];
  if (!(std::fabs(p[3]) > 1e-300)) return false;
  out.set(static_cast<float>(p[0] / p[3]), static_cast<float>(p[1] / p[3]),
          static_cast<float>(p[2] / p[3]));
  return std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z);
}

}  // namespace explorer
