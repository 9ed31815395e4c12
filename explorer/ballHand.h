// Shift + drag moves the ball: it keeps its height and follows the pointer
// on the level plane through its centre. The new
// centre goes into the lab's parameters and the running cloth's, so the
// cloth meets the ball along its way (and its speed enters the friction).
#pragma once

#include "cloth/cloth.h"
#include "explorer/settings.h"
#include "viewkit/view/orbitCamera.h"

namespace explorer {

class BallHand {
 public:
  /// A Shift + left press at (x, y): takes the ball when the cloth has one.
  bool press(const cloth::Cloth& cloth, float x, float y);
  bool holding() const { return holding_; }
  /// The pointer moved to (x, y) while holding.
  void dragTo(float x, float y);
  void release() { holding_ = false; }
  /// Puts the ball under the pointer through the view of this frame; true
  /// when it moved.
  bool move(cloth::Cloth& cloth, LabSettings& settings, const viewkit::OrbitCamera& camera,
            float cx, float cy);

 private:
  bool holding_ = false;
  bool grabbed_ = false;  // the offset is taken at the first frame of a hold
  float offsetX_ = 0, offsetY_ = 0;
  float x_ = 0, y_ = 0;
};

}  // namespace explorer
