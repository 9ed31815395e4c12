#include "cloth/obstacles.h"

#include <cmath>

#include "cloth/friction.h"

namespace cloth {

namespace {

// Pushes p out along the normal to `thickness` from a surface at signed
// distance d, with friction against the surface's move in the step. True
// when it touched.
inline bool pushOut(zeVec3f& p, const zeVec3f& before, float d, const zeVec3f& normal,
                    const zeVec3f& surfaceMove, float thickness, float staticFriction,
                    float kineticFriction) {
  if (!(d < thickness)) return false;
  const float depth = thickness - d;
  p = zeVec3f(p.x + normal.x * depth, p.y + normal.y * depth, p.z + normal.z * depth);
  p = withFriction(p, before, surfaceMove, normal, depth, staticFriction, kineticFriction);
  return true;
}

// The height field's distance along its normal, from its slope over a
// short span about (x, y).
inline float heightDistance(float (*height)(float, float), const zeVec3f& p, zeVec3f& normal) {
  constexpr float span = 0.05f;
  const float h = height(p.x, p.y);
  const float sx = (height(p.x + span, p.y) - height(p.x - span, p.y)) / (2.0f * span);
  const float sy = (height(p.x, p.y + span) - height(p.x, p.y - span)) / (2.0f * span);
  const float length = std::sqrt((sx * sx + sy * sy) + 1.0f);
  normal = zeVec3f(-sx / length, -sy / length, 1.0f / length);
  return (p.z - h) / length;
}

}  // namespace

void Obstacles::keepOut(zeVec3f* x, const zeVec3f* before, const float* inverseMass,
                        unsigned char* contact, int first, int end, float thickness,
                        float staticFriction, float kineticFriction, int step, int steps) const {
  const zeVec3f still;
  for (int n = first; n < end; ++n) {
    if (inverseMass[n] == 0.0f) continue;
    zeVec3f& p = x[n];
    const zeVec3f& b = before[n];
    bool touched = false;
    zeVec3f normal;
    if (terrain) {
      const float d = heightDistance(terrain, p, normal);
      touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction);
    }
    if (ground) {
      const float d = groundShape.distance(p, normal);
      touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction);
    }
    for (const MovingBall& ball : balls) {
      // The ball's place at this step, on the straight line of its move.
      const float t = static_cast<float>(step + 1) / static_cast<float>(steps);
      const zeVec3f& from = ball.previousCentre;
      const zeVec3f& to = ball.shape.centre;
      const zeVec3f move((to.x - from.x) / static_cast<float>(steps),
                         (to.y - from.y) / static_cast<float>(steps),
                         (to.z - from.z) / static_cast<float>(steps));
      SphereShape now = ball.shape;
      now.centre = zeVec3f(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t,
                           from.z + (to.z - from.z) * t);
      const float d = now.distance(p, normal);
      touched |= pushOut(p, b, d, normal, move, thickness, staticFriction, kineticFriction);
    }
    for (const BoxShape& box : boxes) {
      const float d = box.distance(p, normal);
      touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction);
    }
    for (const auto& mesh : meshes) {
      float d;
      if (mesh->grid.sample(p, d, normal) &&
          (normal.x != 0.0f || normal.y != 0.0f || normal.z != 0.0f))
        touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction);
    }
    contact[n] = touched ? 1 : 0;
  }
}

void Obstacles::settle() {
  for (MovingBall& ball : balls) ball.previousCentre = ball.shape.centre;
}

}  // namespace cloth
