#include "web/drape/clothDigest.h"

#include "app/drapeApp.h"
#include "cloth/digest.h"

std::uint64_t clothDigest(const clothknob* nodes, int count) {
  cloth::Fnv1a h;
  for (int n = 0; n < count; ++n) {
    const clothknob& node = nodes[n];
    for (float v : {node.pos.x, node.pos.y, node.pos.z, node.vel.x, node.vel.y, node.vel.z})
      h.floatBits(v);
    h.byte(node.on_surf ? 1 : 0);
  }
  return h.value;
}

std::string clothDigestLine(int frames, std::uint64_t digest) {
  return cloth::digestLine(frames, digest);
}
