#include <GL/gl.h>

#include <cmath>

#include "zeShape/zeShape.h"
#include "zeShape/zeShapeLists.h"
#include "zeShape/zeTriangleWalk.h"

bool pointInTriangle(float x, float y, zeVec3f& a, zeVec3f& b, zeVec3f& c) {
  if (a.z < 0.0f || b.z < 0.0f || c.z < 0.0f) return false;  // behind the near plane
  const float s = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  // A triangle without area (or with a corner that did not project) covers
  // nothing; the edge tests below would accept far too much of the plane.
  if (!(s > 0.0f) && !(s < 0.0f)) return false;
  const zeVec3f* edges[3][2] = {{&a, &b}, {&b, &c}, {&c, &a}};
  for (const auto& e : edges) {
    const zeVec3f& e0 = *e[0];
    const zeVec3f& e1 = *e[1];
    const float t = (x - e0.x) * (e1.y - e0.y) - (y - e0.y) * (e1.x - e0.x);
    if (s > 0.0f && t > 0.0f) return false;
    if (!(s > 0.0f) && t < 0.0f) return false;
  }
  return true;
}

namespace {

inline bool nearPoint(float px, float py, const zeVec3f& q) {
  const float dx = q.x - px;
  const float dy = q.y - py;
  return dx * dx + dy * dy < zeShape::pickTolerance * zeShape::pickTolerance;
}

// True when (px, py) lies within pickTolerance of the segment a-b, measured
// across the segment; points beyond either end miss. A segment whose ends
// coincide on the screen is a point.
bool nearSegment(float px, float py, const zeVec3f& a, const zeVec3f& b) {
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  if (dx == 0.0f && dy == 0.0f) return nearPoint(px, py, a);
  if ((px - a.x) * dx + (py - a.y) * dy < 0.0f) return false;
  if ((px - b.x) * (a.x - b.x) + (py - b.y) * (a.y - b.y) < 0.0f) return false;
  float nx = dy;
  float ny = -dx;
  const float len = std::sqrt(nx * nx + ny * ny);
  if (len != 0.0f) {
    nx /= len;
    ny /= len;
  }
  const float dist = std::fabs((px - a.x) * nx + (py - a.y) * ny);
  return dist < zeShape::pickTolerance;
}

bool hitsLines(const zeShape& s, const zeFaceSequence& seq, float x, float y) {
  const int32_t n = seq.n;
  if (n < 2) return false;
  const zeVec3f* w = s.screenVertexList;
  const bool pairs = s.drawStyle == GL_LINES;
  const int32_t step = pairs ? 2 : 1;
  for (int32_t k = 0; k + 1 < n;) {
    const int32_t i0 = seq.at(k), i1 = seq.at(k + 1);
    if (i0 == -1 || i1 == -1) {
      k += 1;  // pairs realign on the entry after the break
      continue;
    }
    if (nearSegment(x, y, w[i0], w[i1])) return true;
    k += step;
  }
  if (s.drawStyle == GL_LINE_LOOP) {
    // Each loop is closed from its last entry back to its first, as drawn.
    int32_t first = 0;
    for (int32_t k = 0; k <= n; ++k) {
      if (k < n && seq.at(k) != -1) continue;
      const int32_t last = k - 1;
      if (last - first >= 2 && nearSegment(x, y, w[seq.at(last)], w[seq.at(first)])) return true;
      first = k + 1;
    }
  }
  return false;
}

bool hitsPoints(const zeShape& s, const zeFaceSequence& seq, float x, float y) {
  for (int32_t k = 0; k < seq.n; ++k) {
    const int32_t v = seq.at(k);
    if (v != -1 && nearPoint(x, y, s.screenVertexList[v])) return true;
  }
  return false;
}

}  // namespace

bool zeShape::pointInside(float x, float y) {
  if (!enablePicking) return false;
  const zeFaceSequence seq(*this);
  switch (drawStyle) {
    case GL_LINES:
    case GL_LINE_LOOP:
    case GL_LINE_STRIP:
      return hitsLines(*this, seq, x, y);
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
      return zeWalkTriangles(*this, [&](int32_t a, int32_t b, int32_t c) {
        return pointInTriangle(x, y, screenVertexList[a], screenVertexList[b], screenVertexList[c]);
      });
    case GL_POINTS:
      return hitsPoints(*this, seq, x, y);
    default:
      return false;  // quads are not picked
  }
}

bool zeShape::shapeInRect(float x1, float y1, float x2, float y2, bool partial) {
  const zeFaceSequence seq(*this);
  for (int32_t k = 0; k < seq.n; ++k) {
    const int32_t v = seq.at(k);
    if (v == -1) continue;
    const float sx = screenVertexList[v].x;
    const float sy = screenVertexList[v].y;
    if (partial) {
      if (x1 < sx && sx < x2 && y1 < sy && sy < y2) return true;
    } else {
      if (sx < x1 || sx > x2 || sy < y1 || sy > y2) return false;
    }
  }
  return !partial;
}

bool zeShape::shapeInCircle(float cx, float cy, float r, bool partial) {
  const zeFaceSequence seq(*this);
  const float r2 = r * r;
  for (int32_t k = 0; k < seq.n; ++k) {
    const int32_t v = seq.at(k);
    if (v == -1) continue;
    const float dx = screenVertexList[v].x - cx;
    const float dy = screenVertexList[v].y - cy;
    const float d2 = dx * dx + dy * dy;
    if (partial) {
      if (d2 < r2) return true;
    } else {
      if (d2 > r2) return false;
    }
  }
  return !partial;
}
