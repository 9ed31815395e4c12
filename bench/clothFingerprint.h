// A 64-bit fingerprint of every bit of the cloth's state: node positions,
// velocities and contact flags, the four stage arrays, the scratch vectors
// and lengths, the constant vectors and the frame counter. Two states with
// the same fingerprint are, for all practical purposes, equal to the bit.
#pragma once

#include <cstdint>
#include <cstring>

#include "app/drapeApp.h"

namespace clothprint {

class Fnv {
 public:
  void bytes(const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t k = 0; k < size; ++k) {
      hash_ ^= p[k];
      hash_ *= 0x100000001b3ull;
    }
  }
  void f(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bytes(&bits, sizeof bits);
  }
  void v(const zeVec3f& a) {
    f(a.x);
    f(a.y);
    f(a.z);
  }
  uint64_t value() const { return hash_; }

 private:
  uint64_t hash_ = 0xcbf29ce484222325ull;
};

// Field by field, so padding never enters the sum.
inline uint64_t fingerprint(const drapeApp& app) {
  Fnv h;
  for (const clothknob& knob : app.thread) {
    h.v(knob.pos);
    h.v(knob.vel);
    const unsigned char contact = knob.on_surf ? 1 : 0;
    h.bytes(&contact, 1);
  }
  for (const zeVec3f* stage : {app.k1, app.k2, app.k3, app.k4})
    for (int n = 0; n < 3600; ++n) h.v(stage[n]);
  for (const zeVec3f* s :
       {&app.del1, &app.del2, &app.del3, &app.del4, &app.force, &app.zero, &app.enviro})
    h.v(*s);
  for (float s : {app.dist1, app.dist2, app.dist3, app.dist4, app.j}) h.f(s);
  return h.value();
}

}  // namespace clothprint
