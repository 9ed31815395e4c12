// The signed distance to a closed triangle mesh, sampled once on a regular
// grid around it and read back by trilinear interpolation: negative inside,
// positive outside. The grid is made in one fixed order on one thread and
// read with single-precision arithmetic alone, so a point's distance is the
// same bits wherever it is asked for.
#pragma once

#include <vector>

#include "cloth/triangleMesh.h"
#include "zeu/zeVec3f.h"

namespace cloth {

class DistanceGrid {
 public:
  /// The most points along one axis.
  static constexpr int kMaxPoints = 96;

  /// Samples the mesh's distance on a grid of about `points` points along
  /// its longest side (at most kMaxPoints), reaching `margin` beyond its
  /// box on every side. Exact within `margin` of the surface; farther off,
  /// the distance is held at +-margin.
  void build(const TriangleMesh& mesh, float margin, int points = 64);

  /// The distance at p and its direction of increase (a unit vector, or
  /// zero where the grid is flat); false, with nothing written, where p is
  /// outside the grid (farther from the mesh than the margin).
  bool sample(const zeVec3f& p, float& distance, zeVec3f& gradient) const;

  /// The grid's points along x, y and z, and its corner and spacing.
  int points(int axis) const { return n_[axis]; }
  const zeVec3f& origin() const { return origin_; }
  float spacing() const { return cell_; }
  /// The stored distance at a grid point.
  float at(int i, int j, int k) const { return d_[index(i, j, k)]; }

 private:
  size_t index(int i, int j, int k) const {
    return (static_cast<size_t>(k) * n_[1] + j) * n_[0] + i;
  }
  int n_[3] = {0, 0, 0};
  zeVec3f origin_;
  float cell_ = 1;
  std::vector<float> d_;
};

}  // namespace cloth
