#include "web/drape/clothDigest.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "app/drapeApp.h"

namespace {

std::uint64_t mixByte(std::uint64_t h, std::uint8_t byte) {
  return (h ^ byte) * kClothDigestPrime;
}

// The float's bits, least significant byte first whatever the host order.
std::uint64_t mixFloat(std::uint64_t h, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8)
    h = mixByte(h, static_cast<std::uint8_t>(bits >> shift));
  return h;
}

}  // namespace

std::uint64_t clothDigest(const clothknob* nodes, int count) {
  std::uint64_t h = kClothDigestBasis;
  for (int n = 0; n < count; ++n) {
    const clothknob& node = nodes[n];
    for (float v : {node.pos.x, node.pos.y, node.pos.z, node.vel.x, node.vel.y, node.vel.z})
      h = mixFloat(h, v);
    h = mixByte(h, node.on_surf ? 1 : 0);
  }
  return h;
}

std::string clothDigestLine(int frames, std::uint64_t digest) {
  char line[64];
  std::snprintf(line, sizeof line, "cloth digest %d %016" PRIx64, frames, digest);
  return line;
}
