// Friction at a contact, in positions (as position-based solvers apply it):
// the part of a node's move in one step that slides along the surface,
// relative to the surface's own move, is held back by an amount that grows
// with how far the contact pushed the node out.
#pragma once

#include <cmath>

#include "zeu/zeVec3f.h"

namespace cloth {

/// The node at p, just pushed out of a surface by `depth` (> 0) along the
/// unit `normal`, was at `before` when the step began; the surface moved by
/// `surfaceMove` in the step. A slide shorter than staticFriction * depth is
/// undone (the node sticks); a longer one is shortened by
/// kineticFriction * depth, never past a stop.
inline zeVec3f withFriction(const zeVec3f& p, const zeVec3f& before, const zeVec3f& surfaceMove,
                            const zeVec3f& normal, float depth, float staticFriction,
                            float kineticFriction) {
  const zeVec3f move(p.x - before.x - surfaceMove.x, p.y - before.y - surfaceMove.y,
                     p.z - before.z - surfaceMove.z);
  const float along = (move.x * normal.x + move.y * normal.y) + move.z * normal.z;
  const zeVec3f slide(move.x - normal.x * along, move.y - normal.y * along,
                      move.z - normal.z * along);
  const float squared = (slide.x * slide.x + slide.y * slide.y) + slide.z * slide.z;
  if (!(squared > 0.0f)) return p;
  float undo = 1.0f;  // the share of the slide taken back
  // Sticking (the common case at rest) needs no square root.
  const float hold = staticFriction * depth;
  if (!(squared < hold * hold)) {
    const float length = std::sqrt(squared);
    if (length >= hold) {
      undo = kineticFriction * depth / length;
      if (undo > 1.0f) undo = 1.0f;
    }
  }
  return zeVec3f(p.x - slide.x * undo, p.y - slide.y * undo, p.z - slide.z * undo);
}

}  // namespace cloth
