#include "cloth/strain.h"

#include <algorithm>
#include <cmath>

#include "cloth/cloth.h"

namespace cloth {

namespace {

// The strain of the link from a to b, in double from the floats.
double linkStrain(const zeVec3f& a, const zeVec3f& b, double rest) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz) / rest - 1.0;
}

// Calls f(a, b, strain) for every intact structural link.
template <typename F>
void eachLink(const Cloth& c, F f) {
  const int N = c.size();
  const zeVec3f* p = c.positions();
  const double rest = 59.0 / (N - 1);
  for (int n = 0; n < c.nodeCount(); ++n) {
    if (c.linkRight(n)) f(n, n + 1, linkStrain(p[n], p[n + 1], rest));
    if (c.linkUp(n)) f(n, n + N, linkStrain(p[n], p[n + N], rest));
  }
}

}  // namespace

StrainFigures structuralStrain(const Cloth& cloth, std::vector<float>& scratch) {
  scratch.clear();
  StrainFigures f;
  double sum = 0;
  eachLink(cloth, [&](int, int, double s) {
    scratch.push_back(static_cast<float>(s));
    sum += s;
    f.largest = std::max(f.largest, s);
  });
  f.links = static_cast<int>(scratch.size());
  if (f.links == 0) return f;
  f.mean = sum / f.links;
  const size_t k = std::min(scratch.size() - 1, static_cast<size_t>(0.99 * scratch.size()));
  std::nth_element(scratch.begin(), scratch.begin() + static_cast<long>(k), scratch.end());
  f.p99 = scratch[k];
  return f;
}

void nodeStrains(const Cloth& cloth, float* out) {
  std::fill(out, out + cloth.nodeCount(), 0.0f);
  eachLink(cloth, [&](int a, int b, double s) {
    const float v = static_cast<float>(s);
    out[a] = std::max(out[a], v);
    out[b] = std::max(out[b], v);
  });
}

}  // namespace cloth
