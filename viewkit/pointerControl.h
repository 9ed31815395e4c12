// The mouse handling shared by the viewers: the left button orbits an
// OrbitCamera once the pointer has moved more than kClickSlop pixels from
// where it was pressed, and a press and release without such a move is a
// click; the wheel (GLUT buttons 3 and 4) zooms. The pointer's last known
// window position is kept for hover effects such as picking.
//
// Feed it from the application's handlers: mouseDown, mouseUp, the
// one-argument mouseDrag (the button variant reports the last button GLUT
// saw, which a wheel turn during a drag changes) and mouseMove. Positions are
// window pixels with the origin at the bottom-left corner.
#pragma once

#include "viewkit/orbitCamera.h"

namespace viewkit {

class PointerControl {
 public:
  static constexpr float kClickSlop = 3.0f;  // pixels a click may wander
  static constexpr int kLeftButton = 0;      // GLUT_LEFT_BUTTON
  static constexpr int kWheelUp = 3;
  static constexpr int kWheelDown = 4;

  explicit PointerControl(OrbitCamera& camera) : camera_(camera) {}

  void mouseDown(float x, float y, int button);
  // True when the release ends a click; (x, y) is then where it happened.
  bool mouseUp(float x, float y, int button);
  void mouseDrag(float x, float y);
  void mouseMove(float x, float y);

  bool pointerKnown() const { return known_; }
  float x() const { return x_; }
  float y() const { return y_; }
  bool pressed() const { return pressed_; }
  bool dragging() const { return dragging_; }

 private:
  void track(float x, float y);

  OrbitCamera& camera_;
  bool known_ = false;
  float x_ = 0.0f, y_ = 0.0f;
  bool pressed_ = false;   // left button down
  bool dragging_ = false;  // moved past the slop since the press
  float pressX_ = 0.0f, pressY_ = 0.0f;
  float lastX_ = 0.0f, lastY_ = 0.0f;  // where the last orbit step ended
};

}  // namespace viewkit
