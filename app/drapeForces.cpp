// Spring forces on one cloth node from its four grid neighbours.
#include "app/drapeApp.h"

namespace {

// The spring law for one neighbour: (length - 1) times the unit vector
// towards it, written as del - del / dist. An absent neighbour has del zero
// and dist 1, giving zero. Two nodes at the same place have no direction
// between them: the term is zero there instead of spreading a division by
// zero over the whole cloth.
inline zeVec3f springTerm(const zeVec3f& del, float dist) {
  if (dist == 0.0f) return zeVec3f();
  return del - del / dist;
}

}  // namespace

// Stores in vstore the velocity change of one time step (0.01) that the
// springs give node i, with unit mass and stiffness 10. Only positions are
// read: ref, the stage argument, does not offset the evaluated state, so the
// four stage values of a node within one frame are equal and their weighted
// sum equals the first. The scratch fields hold this node's values after the
// call.
void drapeApp::rungef(clothknob* P, zeVec3f& vstore, zeVec3f /*ref*/, int i) {
  const int column = i % 60;
  const zeVec3f& p = P[i].pos;
  if (column == 0) {
    del1 *= 0.0f;
    dist1 = 1.0f;
  } else {
    del1 = P[i - 1].pos - p;
    dist1 = del1.length();
  }
  if (column == 59) {
    del2 *= 0.0f;
    dist2 = 1.0f;
  } else {
    del2 = P[i + 1].pos - p;
    dist2 = del2.length();
  }
  if (i < 60) {
    del3 *= 0.0f;
    dist3 = 1.0f;
  } else {
    del3 = P[i - 60].pos - p;
    dist3 = del3.length();
  }
  if (i >= 3540) {
    del4 *= 0.0f;
    dist4 = 1.0f;
  } else {
    del4 = P[i + 60].pos - p;
    dist4 = del4.length();
  }
  force = (((springTerm(del1, dist1) + springTerm(del2, dist2)) + springTerm(del3, dist3)) +
           springTerm(del4, dist4)) *
          10.0f;
  // The time step is the double 0.01 here; each product is narrowed to float.
  vstore.x = static_cast<float>(force.x * 0.01);
  vstore.y = static_cast<float>(force.y * 0.01);
  vstore.z = static_cast<float>(force.z * 0.01);
}
