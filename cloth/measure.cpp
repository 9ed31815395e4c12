#include "cloth/measure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cloth {

namespace {

inline float strainBetween(const zeVec3f& a, const zeVec3f& b, float rest) {
  const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  return std::fabs(std::sqrt(dx * dx + dy * dy + dz * dz) - rest) / rest;
}

// Calls f(node, neighbour, strain) for every intact structural link.
template <class F>
void eachLink(const Cloth& cloth, F f) {
  const zeVec3f* p = cloth.positions();
  const int n = cloth.size();
  const float rest = cloth.restLength();
  for (int k = 0; k < cloth.nodeCount(); ++k) {
    if (cloth.linkRight(k)) f(k, k + 1, strainBetween(p[k], p[k + 1], rest));
    if (cloth.linkUp(k)) f(k, k + n, strainBetween(p[k], p[k + n], rest));
  }
}

}  // namespace

float nodeStrains(const Cloth& cloth, float* perNode) {
  std::fill(perNode, perNode + cloth.nodeCount(), 0.0f);
  float largest = 0.0f;
  eachLink(cloth, [&](int a, int b, float s) {
    perNode[a] = std::max(perNode[a], s);
    perNode[b] = std::max(perNode[b], s);
    largest = std::max(largest, s);
  });
  return largest;
}

StrainFigures strainFigures(const Cloth& cloth) {
  std::vector<float> all;
  all.reserve(static_cast<size_t>(cloth.nodeCount()) * 2);
  double sum = 0.0;
  eachLink(cloth, [&](int, int, float s) {
    all.push_back(s);
    sum += s;
  });
  StrainFigures f;
  f.links = static_cast<long>(all.size());
  if (all.empty()) return f;
  std::sort(all.begin(), all.end());
  f.largest = all.back();
  f.mean = static_cast<float>(sum / static_cast<double>(all.size()));
  // The smallest value that at least 99 % of the links do not exceed.
  const size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(all.size())));
  f.percentile99 = all[std::max<size_t>(rank, 1) - 1];
  return f;
}

double kineticEnergy(const Cloth& cloth) {
  const double mass = static_cast<double>(cloth.restLength()) * cloth.restLength();
  const zeVec3f* v = cloth.velocities();
  double sum = 0.0;
  for (int k = 0; k < cloth.nodeCount(); ++k) {
    if (cloth.pinned(k)) continue;
    sum += static_cast<double>(v[k].x) * v[k].x + static_cast<double>(v[k].y) * v[k].y +
           static_cast<double>(v[k].z) * v[k].z;
  }
  return 0.5 * mass * sum;
}

}  // namespace cloth
