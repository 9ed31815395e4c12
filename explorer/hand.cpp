#include "explorer/hand.h"

#include <cstdio>

#include "explorer/lab.h"
#include "viewkit/view/pointerControl.h"
#include "zeShape/zeTransforms.h"

namespace explorer {

void Hand::reset() {
  held = pressed_ = -1;
  cutting_ = false;
  pinsStale_ = true;
}

void Hand::startCut(float x, float y) {
  cutting_ = true;
  strokeX_ = x;
  strokeY_ = y;
  strokeCuts_ = 0;
}

void Hand::cutTo(cloth::Cloth& cloth, const zeShape& mesh, float x, float y) {
  strokeCuts_ += cutAlong(cloth, mesh.screenVertexList, strokeX_, strokeY_, x, y);
  strokeX_ = x;
  strokeY_ = y;
}

void Hand::finishCut(cloth::Cloth& cloth, const zeShape& mesh, float x, float y) {
  strokeCuts_ += cutAlong(cloth, mesh.screenVertexList, strokeX_, strokeY_, x, y);
  cutting_ = false;
  std::printf("cut %d links\n", strokeCuts_);
  std::fflush(stdout);
}

bool Hand::press(int node, float x, float y) {
  pressed_ = node;
  if (node < 0) return false;
  pressX_ = holdX_ = x;
  pressY_ = holdY_ = y;
  return true;
}

bool Hand::dragTo(cloth::Cloth& cloth, const zeShape& mesh, float x, float y) {
  if (pressed_ >= 0) {
    const float dx = x - pressX_, dy = y - pressY_;
    const float slop = viewkit::PointerControl::kClickSlop;
    if (dx * dx + dy * dy > slop * slop) startHold(cloth, mesh);
  }
  if (held < 0 && pressed_ < 0) return false;
  holdX_ = x;
  holdY_ = y;
  return true;
}

// The held node keeps its window depth: it moves on the plane through it
// that faces the viewer. It is pinned while held, so the cloth follows it
// and no step moves it.
void Hand::startHold(cloth::Cloth& cloth, const zeShape& mesh) {
  const int node = pressed_;
  pressed_ = -1;
  if (!windowDepth(mesh.space, cloth.positions()[node], holdDepth_)) return;
  held = node;
  heldWasPinned_ = cloth.pinned(node);
  cloth.setPinned(node, true);
  pinsStale_ = true;
}

bool Hand::release(cloth::Cloth& cloth) {
  pressed_ = -1;
  if (held < 0) return false;
  cloth.setPinned(held, heldWasPinned_);
  held = -1;
  pinsStale_ = true;
  return true;
}

// Placed through the view this frame is drawn with, so that it is drawn
// under the pointer even while the scene turns.
bool Hand::moveHeld(cloth::Cloth& cloth, const viewkit::OrbitCamera& camera, float cx, float cy) {
  if (held < 0) return false;
  zePushMatrix();
  camera.applySoftware(cx, cy);
  const zeMatrix4f space = *getCurrentMatrix();
  zePopMatrix();
  zeVec3f p;
  if (!unproject(space, holdX_, holdY_, holdDepth_, p)) return false;
  const zeVec3f& now = cloth.positions()[held];
  if (p.x == now.x && p.y == now.y && p.z == now.z) return false;
  cloth.placeNode(held, p);
  return true;
}

void Hand::togglePin(cloth::Cloth& cloth, int node) {
  if (node < 0 || node >= cloth.nodeCount()) return;
  bool now;
  if (node == held) {
    now = heldWasPinned_ = !heldWasPinned_;  // takes effect at the release
  } else {
    now = !cloth.pinned(node);
    cloth.setPinned(node, now);
  }
  pinsStale_ = true;
  std::printf("%s node %d\n", now ? "pinned" : "unpinned", node);
  std::fflush(stdout);
}

void Hand::unpinAll(cloth::Cloth& cloth) {
  cloth.unpinAll();
  if (held >= 0) {
    heldWasPinned_ = false;
    cloth.setPinned(held, true);
  }
  pinsStale_ = true;
}

const std::vector<int>& Hand::pins(const cloth::Cloth& cloth) {
  if (!pinsStale_) return pins_;
  pins_.clear();
  for (int n = 0; n < cloth.nodeCount(); ++n)
    if (n == held ? heldWasPinned_ : cloth.pinned(n)) pins_.push_back(n);
  pinsStale_ = false;
  return pins_;
}

}  // namespace explorer
