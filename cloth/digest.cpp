#include <cstring>

#include "cloth/cloth.h"

namespace cloth {

namespace {

constexpr uint64_t kBasis = 14695981039346656037ull;
constexpr uint64_t kPrime = 1099511628211ull;

inline uint64_t mixByte(uint64_t h, uint8_t byte) {
  return (h ^ byte) * kPrime;
}

// The float's bits, least significant byte first whatever the host order.
inline uint64_t mixFloat(uint64_t h, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8) h = mixByte(h, static_cast<uint8_t>(bits >> shift));
  return h;
}

}  // namespace

uint64_t digest(const Cloth& cloth) {
  uint64_t h = kBasis;
  const zeVec3f* pos = cloth.positions();
  const zeVec3f* vel = cloth.velocities();
  for (int n = 0; n < cloth.nodeCount(); ++n) {
    for (float v : {pos[n].x, pos[n].y, pos[n].z, vel[n].x, vel[n].y, vel[n].z}) h = mixFloat(h, v);
    h = mixByte(h, cloth.inContact(n) ? 1 : 0);
  }
  return h;
}

}  // namespace cloth
