// The lab's hand on the cloth: a left press on a node that becomes a hold
// once the pointer moves past the click slop (the held node follows the
// pointer on the plane that faces the viewer, pinned while held), a
// Ctrl + left stroke that cuts the links it crosses, and pins set and
// cleared by hand. Window positions are those of the mesh as last drawn.
#pragma once

#include <vector>

#include "cloth/cloth.h"
#include "viewkit/view/orbitCamera.h"
#include "zeShape/zeNiceShapes.h"

namespace explorer {

class Hand {
 public:
  int held = -1;  ///< node held by the left button, or -1

  /// A fresh cloth: nothing pressed, held or being cut.
  void reset();

  /// Starts a cut at window (x, y).
  void startCut(float x, float y);
  bool cutting() const { return cutting_; }
  /// Cuts along the stroke from its last point to (x, y).
  void cutTo(cloth::Cloth& cloth, const zeShape& mesh, float x, float y);
  /// Cuts the stroke's last stretch and prints "cut <n> links" for the stroke.
  void finishCut(cloth::Cloth& cloth, const zeShape& mesh, float x, float y);

  /// A left press at (x, y) on node (-1: beside the cloth); true when on it.
  bool press(int node, float x, float y);
  /// A press not yet dragged, or a hold.
  bool busy() const { return pressed_ >= 0 || held >= 0; }
  /// The pointer moved to (x, y) with the left button down; true when the
  /// press or the hold takes it (a press past the click slop becomes a hold).
  bool dragTo(cloth::Cloth& cloth, const zeShape& mesh, float x, float y);
  /// The left button let go: the held node gets its own pin state back;
  /// true when a node was held (false: the press was a click).
  bool release(cloth::Cloth& cloth);
  /// Places the held node under the pointer through the view this frame is
  /// drawn with; true when it moved.
  bool moveHeld(cloth::Cloth& cloth, const viewkit::OrbitCamera& camera, float cx, float cy);

  /// Pins a free node or frees a pinned one, printing "pinned node <n>" or
  /// "unpinned node <n>"; a node held keeps its pin until released.
  void togglePin(cloth::Cloth& cloth, int node);
  /// Frees every node; the held one stays pinned until released.
  void unpinAll(cloth::Cloth& cloth);
  /// The pinned nodes to mark, as the user set them (the held one by its
  /// own pin state).
  const std::vector<int>& pins(const cloth::Cloth& cloth);

 private:
  void startHold(cloth::Cloth& cloth, const zeShape& mesh);

  std::vector<int> pins_;
  bool pinsStale_ = true;
  int pressed_ = -1;  // node under a left press not yet dragged, or -1
  float pressX_ = 0, pressY_ = 0;
  float holdX_ = 0, holdY_ = 0;  // where the held node is drawn
  double holdDepth_ = 0;         // its window depth, fixed while held
  bool heldWasPinned_ = false;
  bool cutting_ = false;  // a Ctrl + left drag
  float strokeX_ = 0, strokeY_ = 0;
  int strokeCuts_ = 0;
};

}  // namespace explorer
