// Picking sees what the viewer sees: of the triangles under the pointer the
// one nearest the eye, by its depth after the perspective division, names
// the vertex. The window z that the shape library keeps for each vertex is
// not divided by w, so it cannot order surfaces or tell which points lie in
// front of the near plane; depth is computed here from the world positions
// of the last draw and the projection of the frame's camera capture.
#include "viewkit/view/picking.h"

#include <cmath>

#include "zeShape/zeTransforms.h"
#include "zeShape/zeTriangleWalk.h"

namespace viewkit {

namespace {

// Depths closer than this belong to one surface: the triangles around a
// shared edge or corner, whose depths at the pointer differ by rounding only.
constexpr double kSameSurface = 1e-9;

// Depth of world point p after the division by w, or NAN when p lies
// behind the eye or outside the near and far planes (it is not drawn).
double depthOf(const zeVec3f& p) {
  const float(&m)[4][4] = cameraMatrix.m;
  const double z = m[2][0] * double(p.x) + m[2][1] * double(p.y) + m[2][2] * double(p.z) + m[2][3];
  const double w = m[3][0] * double(p.x) + m[3][1] * double(p.y) + m[3][2] * double(p.z) + m[3][3];
  if (!(w > 0.0)) return NAN;
  const double d = z / w;
  return d >= -1.0 && d <= 1.0 ? d : NAN;
}

struct Search {
  zeShape& shape;
  double x, y;
  SurfacePick best;
  double bestDistance = 0.0;

  void offer(int v, double depth, bool resetting) {
    const zeVec3f& s = shape.screenVertexList[v];
    const double dx = s.x - x, dy = s.y - y;
    const double d = dx * dx + dy * dy;
    if (resetting || best.vertex < 0 || d < bestDistance ||
        (d == bestDistance && v < best.vertex)) {
      if (resetting || best.vertex < 0) best.depth = depth;
      best.vertex = v;
      bestDistance = d;
    }
  }

  // The triangle's depth at the pointer, when the pointer is on it (border
  // included) and all of it is drawn; its corners then compete for the pick.
  void triangle(int i0, int i1, int i2) {
    const zeVec3f& a = shape.screenVertexList[i0];
    const zeVec3f& b = shape.screenVertexList[i1];
    const zeVec3f& c = shape.screenVertexList[i2];
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if ((fx < a.x && fx < b.x && fx < c.x) || (fx > a.x && fx > b.x && fx > c.x) ||
        (fy < a.y && fy < b.y && fy < c.y) || (fy > a.y && fy > b.y && fy > c.y))
      return;
    const double area =
        (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
    if (area == 0.0) return;  // edge-on: covers no pixel
    const double l0 = ((double(c.x) - b.x) * (y - b.y) - (double(c.y) - b.y) * (x - b.x)) / area;
    const double l1 = ((double(a.x) - c.x) * (y - c.y) - (double(a.y) - c.y) * (x - c.x)) / area;
    const double l2 = ((double(b.x) - a.x) * (y - a.y) - (double(b.y) - a.y) * (x - a.x)) / area;
    if (l0 < 0.0 || l1 < 0.0 || l2 < 0.0) return;
    const double d0 = depthOf(shape.absVertexList[i0]);
    const double d1 = depthOf(shape.absVertexList[i1]);
    const double d2 = depthOf(shape.absVertexList[i2]);
    if (std::isnan(d0) || std::isnan(d1) || std::isnan(d2)) return;
    // Depth after the division is affine in window coordinates, so the
    // window barycentrics interpolate it exactly.
    const double depth = l0 * d0 + l1 * d1 + l2 * d2;
    if (best.vertex >= 0 && depth > best.depth + kSameSurface) return;
    const bool nearer = best.vertex < 0 || depth < best.depth - kSameSurface;
    offer(i0, depth, nearer);
    offer(i1, depth, false);
    offer(i2, depth, false);
    if (depth < best.depth) best.depth = depth;
  }
};

}  // namespace

SurfacePick pickSurface(zeShape& shape, float x, float y) {
  Search search{shape, x, y, SurfacePick()};
  if (!shape.enablePicking) return search.best;
  // The triangles pointInside tests, so that a pick and a hit agree.
  if (zeDrawsTriangles(shape.drawStyle)) {
    zeWalkTriangles(shape, [&search](int32_t i0, int32_t i1, int32_t i2) {
      search.triangle(i0, i1, i2);
      return false;
    });
    return search.best;
  }
  if (!shape.pointInside(x, y)) return search.best;
  const int32_t length = shape.listLength;
  // Points and lines have no surface: the nearest vertex that is drawn.
  for (int32_t v = 0; v < length; ++v) {
    const double depth = depthOf(shape.absVertexList[v]);
    if (!std::isnan(depth)) search.offer(v, depth, false);
  }
  if (search.best.vertex >= 0) search.best.depth = depthOf(shape.absVertexList[search.best.vertex]);
  return search.best;
}

int nearestVertex(zeShape& shape, float x, float y) {
  return pickSurface(shape, x, y).vertex;
}

}  // namespace viewkit
