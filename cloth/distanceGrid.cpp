#include "cloth/distanceGrid.h"

#include <algorithm>
#include <cmath>

namespace cloth {

namespace {

struct V {
  double x, y, z;
};
V operator-(V a, V b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V operator+(V a, V b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V operator*(V a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}
double dot(V a, V b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
V of(const zeVec3f& p) {
  return {p.x, p.y, p.z};
}

// The squared distance from p to the triangle abc (the closest point by
// the triangle's regions: vertices, edges, face).
double squaredDistance(V p, V a, V b, V c) {
  const V ab = b - a, ac = c - a, ap = p - a;
  const double d1 = dot(ab, ap), d2 = dot(ac, ap);
  V q;
  if (d1 <= 0 && d2 <= 0) {
    q = a;
  } else {
    const V bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    const V cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    const double vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
    if (d3 >= 0 && d4 <= d3) {
      q = b;
    } else if (vc <= 0 && d1 >= 0 && d3 <= 0) {
      q = a + ab * (d1 / (d1 - d3));
    } else if (d6 >= 0 && d5 <= d6) {
      q = c;
    } else if (vb <= 0 && d2 >= 0 && d6 <= 0) {
      q = a + ac * (d2 / (d2 - d6));
    } else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
      q = b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    } else {
      const double denom = 1.0 / (va + vb + vc);
      q = a + ab * (vb * denom) + ac * (vc * denom);
    }
  }
  const V d = p - q;
  return dot(d, d);
}

// Where the line through (y, z) along x crosses the triangle, if it does.
bool crossAlongX(double y, double z, V a, V b, V c, double& x) {
  // Barycentric coordinates of (y, z) in the triangle's projection.
  const double det = (b.y - a.y) * (c.z - a.z) - (c.y - a.y) * (b.z - a.z);
  if (det == 0) return false;
  const double u = ((y - a.y) * (c.z - a.z) - (c.y - a.y) * (z - a.z)) / det;
  const double v = ((b.y - a.y) * (z - a.z) - (y - a.y) * (b.z - a.z)) / det;
  if (u < 0 || v < 0 || u + v > 1) return false;
  x = a.x + u * (b.x - a.x) + v * (c.x - a.x);
  return true;
}

}  // namespace

void DistanceGrid::build(const TriangleMesh& mesh, float margin, int points) {
  points = std::clamp(points, 4, kMaxPoints);
  zeVec3f lo = mesh.vertices.front(), hi = lo;
  for (const zeVec3f& p : mesh.vertices) {
    lo = zeVec3f(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
    hi = zeVec3f(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
  }
  lo = zeVec3f(lo.x - margin, lo.y - margin, lo.z - margin);
  hi = zeVec3f(hi.x + margin, hi.y + margin, hi.z + margin);
  const float longest = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
  cell_ = longest / static_cast<float>(points - 1);
  origin_ = lo;
  const float extent[3] = {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
  for (int a = 0; a < 3; ++a)
    n_[a] = std::min(kMaxPoints, static_cast<int>(std::ceil(extent[a] / cell_)) + 1);
  d_.assign(static_cast<size_t>(n_[0]) * n_[1] * n_[2], margin);

  // Unsigned distances near the surface: each triangle visits the points
  // within the margin of its box, in triangle order.
  const double reach = margin;
  for (const auto& t : mesh.triangles) {
    const V a = of(mesh.vertices[t[0]]), b = of(mesh.vertices[t[1]]), c = of(mesh.vertices[t[2]]);
    const V tlo{std::min({a.x, b.x, c.x}) - reach, std::min({a.y, b.y, c.y}) - reach,
                std::min({a.z, b.z, c.z}) - reach};
    const V thi{std::max({a.x, b.x, c.x}) + reach, std::max({a.y, b.y, c.y}) + reach,
                std::max({a.z, b.z, c.z}) + reach};
    int from[3], to[3];
    const double l[3] = {tlo.x, tlo.y, tlo.z}, h[3] = {thi.x, thi.y, thi.z};
    const double o[3] = {origin_.x, origin_.y, origin_.z};
    for (int ax = 0; ax < 3; ++ax) {
      from[ax] = std::max(0, static_cast<int>(std::floor((l[ax] - o[ax]) / cell_)));
      to[ax] = std::min(n_[ax] - 1, static_cast<int>(std::ceil((h[ax] - o[ax]) / cell_)));
    }
    for (int k = from[2]; k <= to[2]; ++k)
      for (int j = from[1]; j <= to[1]; ++j)
        for (int i = from[0]; i <= to[0]; ++i) {
          const V p{o[0] + i * static_cast<double>(cell_), o[1] + j * static_cast<double>(cell_),
                    o[2] + k * static_cast<double>(cell_)};
          const float d = static_cast<float>(std::sqrt(squaredDistance(p, a, b, c)));
          float& stored = d_[index(i, j, k)];
          stored = std::min(stored, d);
        }
  }

  // Inside or out, by the parity of the surface's crossings along x from
  // each row's start. The row is moved off the grid's lines by a little
  // that no face or edge of a mesh drawn on round numbers lines up with.
  std::vector<double> crossings;
  for (int k = 0; k < n_[2]; ++k)
    for (int j = 0; j < n_[1]; ++j) {
      const double y = origin_.y + j * static_cast<double>(cell_) + 1.2345e-4 * cell_;
      const double z = origin_.z + k * static_cast<double>(cell_) + 0.7071e-4 * cell_;
      crossings.clear();
      for (const auto& t : mesh.triangles) {
        double x;
        if (crossAlongX(y, z, of(mesh.vertices[t[0]]), of(mesh.vertices[t[1]]),
                        of(mesh.vertices[t[2]]), x))
          crossings.push_back(x);
      }
      std::sort(crossings.begin(), crossings.end());
      size_t passed = 0;
      for (int i = 0; i < n_[0]; ++i) {
        const double x = origin_.x + i * static_cast<double>(cell_);
        while (passed < crossings.size() && crossings[passed] < x) ++passed;
        if (passed % 2 == 1) d_[index(i, j, k)] = -d_[index(i, j, k)];
      }
    }
}

bool DistanceGrid::sample(const zeVec3f& p, float& distance, zeVec3f& gradient) const {
  if (d_.empty()) return false;
  const float fx = (p.x - origin_.x) / cell_, fy = (p.y - origin_.y) / cell_,
              fz = (p.z - origin_.z) / cell_;
  // Written as negated tests so that a NaN is outside too.
  if (!(fx >= 0.0f && fy >= 0.0f && fz >= 0.0f)) return false;
  if (!(fx <= n_[0] - 1 && fy <= n_[1] - 1 && fz <= n_[2] - 1)) return false;
  const int i = std::min(static_cast<int>(fx), n_[0] - 2);
  const int j = std::min(static_cast<int>(fy), n_[1] - 2);
  const int k = std::min(static_cast<int>(fz), n_[2] - 2);
  const float u = fx - static_cast<float>(i), v = fy - static_cast<float>(j),
              w = fz - static_cast<float>(k);
  const float c000 = at(i, j, k), c100 = at(i + 1, j, k), c010 = at(i, j + 1, k),
              c110 = at(i + 1, j + 1, k), c001 = at(i, j, k + 1), c101 = at(i + 1, j, k + 1),
              c011 = at(i, j + 1, k + 1), c111 = at(i + 1, j + 1, k + 1);
  // Along x first, then y, then z.
  const float x00 = c000 + (c100 - c000) * u, x10 = c010 + (c110 - c010) * u;
  const float x01 = c001 + (c101 - c001) * u, x11 = c011 + (c111 - c011) * u;
  const float y0 = x00 + (x10 - x00) * v, y1 = x01 + (x11 - x01) * v;
  distance = y0 + (y1 - y0) * w;
  // The interpolation's derivatives, each along its own axis.
  const float dx0 = (c100 - c000) + ((c110 - c010) - (c100 - c000)) * v;
  const float dx1 = (c101 - c001) + ((c111 - c011) - (c101 - c001)) * v;
  const float gx = dx0 + (dx1 - dx0) * w;
  const float gy = (x10 - x00) + ((x11 - x01) - (x10 - x00)) * w;
  const float gz = y1 - y0;
  const float length = std::sqrt((gx * gx + gy * gy) + gz * gz);
  gradient = length > 0.0f ? zeVec3f(gx / length, gy / length, gz / length) : zeVec3f();
  return true;
}

}  // namespace cloth
