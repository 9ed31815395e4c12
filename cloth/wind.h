// The wind both solvers blow on the sheet: a velocity change per step that
// gusts as a function of time alone (so every worker and every thread count
// sees the same wind), pushing each free node along its normal by how
// squarely the sheet faces it.
#pragma once

#include <cmath>

#include "cloth/params.h"
#include "zeu/zeVec3f.h"

namespace cloth {

/// The velocity change of one step of dt for a node facing the wind
/// squarely, at the given time.
inline zeVec3f windOfStep(const Params& params, double time, double dt) {
  // Two slow waves in [-1, 1].
  const double gust = 0.6 * std::sin(0.9 * time) + 0.4 * std::sin(2.3 * time + 1.0);
  const double strength = params.windStrength * (1.0 + params.windGusts * gust);
  const double angle = params.windDirection * (3.14159265358979323846 / 180.0);
  return zeVec3f(static_cast<float>(strength * std::cos(angle) * dt),
                 static_cast<float>(strength * std::sin(angle) * dt), 0.0f);
}

/// Adds to `to` the wind's push on node n (column c, row r of a sheet of
/// size N, positions x): (m . w) m / |m|^2 for the normal m made of the
/// node's neighbours (the node itself where one is missing).
inline void addWind(const zeVec3f* x, int n, int c, int r, int N, const zeVec3f& wind,
                    zeVec3f& to) {
  const zeVec3f& p = x[n];
  const zeVec3f& l = c > 0 ? x[n - 1] : p;
  const zeVec3f& rr = c < N - 1 ? x[n + 1] : p;
  const zeVec3f& d = r > 0 ? x[n - N] : p;
  const zeVec3f& u = r < N - 1 ? x[n + N] : p;
  zeVec3f across = rr - l, along = u - d;
  const zeVec3f normal = across.cross(along);
  const float squared = (normal.x * normal.x + normal.y * normal.y) + normal.z * normal.z;
  if (squared > 0.0f) {
    const float facing = ((normal.x * wind.x + normal.y * wind.y) + normal.z * wind.z) / squared;
    to = zeVec3f(to.x + normal.x * facing, to.y + normal.y * facing, to.z + normal.z * facing);
  }
}

}  // namespace cloth
