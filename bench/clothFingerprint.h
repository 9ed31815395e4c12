// A 64-bit fingerprint of every bit of the cloth's state: node positions,
// velocities and contact flags, the four stage arrays, the scratch vectors
// and lengths, the constant vectors and the frame counter. Two states with
// the same fingerprint are, for all practical purposes, equal to the bit.
#pragma once

#include <cstdint>

#include "app/drapeApp.h"
#include "cloth/digest.h"

namespace clothprint {

inline void addVec(cloth::Fnv1a& h, const zeVec3f& a) {
  h.floatBits(a.x);
  h.floatBits(a.y);
  h.floatBits(a.z);
}

// Field by field, so padding never enters the sum.
inline uint64_t fingerprint(const drapeApp& app) {
  cloth::Fnv1a h;
  for (const clothknob& knob : app.thread) {
    addVec(h, knob.pos);
    addVec(h, knob.vel);
    h.byte(knob.on_surf ? 1 : 0);
  }
  for (const zeVec3f* stage : {app.k1, app.k2, app.k3, app.k4})
    for (int n = 0; n < 3600; ++n) addVec(h, stage[n]);
  for (const zeVec3f* s :
       {&app.del1, &app.del2, &app.del3, &app.del4, &app.force, &app.zero, &app.enviro})
    addVec(h, *s);
  for (float s : {app.dist1, app.dist2, app.dist3, app.dist4, app.j}) h.floatBits(s);
  return h.value;
}

}  // namespace clothprint
