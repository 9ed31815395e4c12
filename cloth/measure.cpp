#include "cloth/measure.h"

namespace cloth {

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
