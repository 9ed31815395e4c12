#include "explorer/ballHand.h"

#include <cmath>

#include "explorer/lab.h"
#include "zeShape/zeTransforms.h"

namespace explorer {

bool BallHand::press(const cloth::Cloth& cloth, float x, float y) {
  if (!cloth.params().ball) return false;
  holding_ = true;
  grabbed_ = false;
  x_ = x;
  y_ = y;
  return true;
}

void BallHand::dragTo(float x, float y) {
  x_ = x;
  y_ = y;
}

bool BallHand::move(cloth::Cloth& cloth, LabSettings& settings, const viewkit::OrbitCamera& camera,
                    float cx, float cy) {
  if (!holding_ || !cloth.params().ball) return false;
  zePushMatrix();
  camera.applySoftware(cx, cy);
  const zeMatrix4f space = *getCurrentMatrix();
  zePopMatrix();
  cloth::Params p = cloth.params();
  const zeVec3f centre(p.ballX, p.ballY, p.ballZ);
  // The pointer's ray, from the near plane to the far one, where it meets
  // the level of the ball's centre.
  zeVec3f near, far;
  if (!unproject(space, x_, y_, -1.0, near) || !unproject(space, x_, y_, 1.0, far)) return false;
  const float rise = far.z - near.z;
  if (!(std::fabs(rise) > 1e-6f)) return false;  // a ray along the level meets it nowhere
  const float t = (centre.z - near.z) / rise;
  if (!(t >= 0.0f && t <= 1.0f)) return false;
  zeVec3f to(near.x + (far.x - near.x) * t, near.y + (far.y - near.y) * t, centre.z);
  // Taken where the press was: the ball keeps its offset from the pointer.
  if (!grabbed_) {
    offsetX_ = centre.x - to.x;
    offsetY_ = centre.y - to.y;
    grabbed_ = true;
  }
  to.x += offsetX_;
  to.y += offsetY_;
  p.ballX = to.x;
  p.ballY = to.y;
  p.ballZ = to.z;
  // Out of the parameters' range the ball stays where it was.
  if ((to.x == centre.x && to.y == centre.y && to.z == centre.z) || !cloth.setParams(p))
    return false;
  settings.params.ballX = p.ballX;
  settings.params.ballY = p.ballY;
  settings.params.ballZ = p.ballZ;
  return true;
}

}  // namespace explorer
