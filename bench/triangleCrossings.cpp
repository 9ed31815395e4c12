#include "bench/triangleCrossings.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace quality {

namespace {

struct D {
  double x, y, z;
};
D of(const zeVec3f& p) {
  return {p.x, p.y, p.z};
}
D sub(D a, D b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double det(D a, D b, D c) {
  return a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
         a.z * (b.x * c.y - b.y * c.x);
}
// The sign of the volume of the tetrahedron abcd.
int orient(D a, D b, D c, D d) {
  const double v = det(sub(b, a), sub(c, a), sub(d, a));
  return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// Whether the segment pq meets the triangle abc (not in its plane).
bool segmentThrough(D p, D q, D a, D b, D c) {
  const int sp = orient(a, b, c, p), sq = orient(a, b, c, q);
  if (sp == 0 && sq == 0) return false;  // in the plane
  if (sp == sq) return false;            // both on one side
  // The line pq passes inside the triangle when it turns the same way
  // around all three edges.
  const int s1 = orient(p, q, a, b), s2 = orient(p, q, b, c), s3 = orient(p, q, c, a);
  const bool somePositive = s1 > 0 || s2 > 0 || s3 > 0;
  const bool someNegative = s1 < 0 || s2 < 0 || s3 < 0;
  return !(somePositive && someNegative);
}

}  // namespace

bool trianglesCross(const zeVec3f& a, const zeVec3f& b, const zeVec3f& c, const zeVec3f& d,
                    const zeVec3f& e, const zeVec3f& f) {
  const D A = of(a), B = of(b), C = of(c), E1 = of(d), E2 = of(e), E3 = of(f);
  return segmentThrough(A, B, E1, E2, E3) || segmentThrough(B, C, E1, E2, E3) ||
         segmentThrough(C, A, E1, E2, E3) || segmentThrough(E1, E2, A, B, C) ||
         segmentThrough(E2, E3, A, B, C) || segmentThrough(E3, E1, A, B, C);
}

std::vector<std::array<int, 3>> sheetTriangles(int n) {
  std::vector<std::array<int, 3>> t;
  for (int r = 0; r + 1 < n; ++r)
    for (int c = 0; c + 1 < n; ++c) {
      const int k = r * n + c;
      t.push_back({k, k + 1, k + n + 1});
      t.push_back({k, k + n + 1, k + n});
    }
  return t;
}

long countCrossings(const zeVec3f* positions, const std::vector<std::array<int, 3>>& triangles) {
  // Broad phase: each triangle in every cell of a uniform grid its box touches.
  double cell = 0.0;
  for (const auto& t : triangles)
    for (int k = 0; k < 3; ++k) {
      const zeVec3f& p = positions[t[k]];
      const zeVec3f& q = positions[t[(k + 1) % 3]];
      cell = std::max(cell,
                      std::sqrt(double(p.x - q.x) * (p.x - q.x) + double(p.y - q.y) * (p.y - q.y) +
                                double(p.z - q.z) * (p.z - q.z)));
    }
  if (!(cell > 0)) return 0;
  std::unordered_map<long long, std::vector<int>> grid;
  auto key = [](long long x, long long y, long long z) {
    return (x * 73856093LL) ^ (y * 19349663LL) ^ (z * 83492791LL);
  };
  std::vector<std::array<long long, 6>> boxes(triangles.size());
  for (size_t i = 0; i < triangles.size(); ++i) {
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (int k = 0; k < 3; ++k) {
      const zeVec3f& p = positions[triangles[i][k]];
      const double v[3] = {p.x, p.y, p.z};
      for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(lo[a], v[a]);
        hi[a] = std::max(hi[a], v[a]);
      }
    }
    for (int a = 0; a < 3; ++a) {
      boxes[i][a] = static_cast<long long>(std::floor(lo[a] / cell));
      boxes[i][a + 3] = static_cast<long long>(std::floor(hi[a] / cell));
    }
    for (long long x = boxes[i][0]; x <= boxes[i][3]; ++x)
      for (long long y = boxes[i][1]; y <= boxes[i][4]; ++y)
        for (long long z = boxes[i][2]; z <= boxes[i][5]; ++z)
          grid[key(x, y, z)].push_back(static_cast<int>(i));
  }
  long crossings = 0;
  std::vector<int> seen(triangles.size(), -1);
  for (size_t i = 0; i < triangles.size(); ++i) {
    const auto& t = triangles[i];
    for (long long x = boxes[i][0]; x <= boxes[i][3]; ++x)
      for (long long y = boxes[i][1]; y <= boxes[i][4]; ++y)
        for (long long z = boxes[i][2]; z <= boxes[i][5]; ++z) {
          const auto found = grid.find(key(x, y, z));
          if (found == grid.end()) continue;
          for (int j : found->second) {
            if (static_cast<size_t>(j) <= i || seen[static_cast<size_t>(j)] == static_cast<int>(i))
              continue;
            seen[static_cast<size_t>(j)] = static_cast<int>(i);
            const auto& u = triangles[static_cast<size_t>(j)];
            bool shared = false;
            for (int a = 0; a < 3; ++a)
              for (int b = 0; b < 3; ++b) shared = shared || t[a] == u[b];
            if (shared) continue;
            if (trianglesCross(positions[t[0]], positions[t[1]], positions[t[2]], positions[u[0]],
                               positions[u[1]], positions[u[2]]))
              ++crossings;
          }
        }
  }
  return crossings;
}

}  // namespace quality
