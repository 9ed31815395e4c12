#include "cloth/digest.h"

#include "cloth/cloth.h"

namespace cloth {

uint64_t digest(const Cloth& cloth) {
  Fnv1a h;
  const zeVec3f* pos = cloth.positions();
  const zeVec3f* vel = cloth.velocities();
  for (int n = 0; n < cloth.nodeCount(); ++n) {
    for (float v : {pos[n].x, pos[n].y, pos[n].z, vel[n].x, vel[n].y, vel[n].z}) h.floatBits(v);
    h.byte(cloth.inContact(n) ? 1 : 0);
  }
  return h.value;
}

}  // namespace cloth
