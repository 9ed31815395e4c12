/// @file
/// The mouse handling shared by the viewers: the left button orbits an
/// OrbitCamera once the pointer has moved more than kClickSlop pixels from
/// where it was pressed, and a press and release without such a move is a
/// click; the wheel (GLUT buttons 3 and 4) zooms. The pointer's last known
/// window position is kept for hover effects such as picking.
///
/// Feed it from the application's handlers: mouseDown, mouseUp, the
/// one-argument mouseDrag (the button variant reports the last button GLUT
/// saw, which a wheel turn during a drag changes) and mouseMove. Positions are
/// window pixels with the origin at the bottom-left corner.
#pragma once

#include "viewkit/view/orbitCamera.h"

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// Left-button orbiting and clicks, wheel zoom, and the pointer's last position.
class PointerControl {
 public:
  static constexpr float kClickSlop = 3.0f;  ///< Pixels a click may wander.
  static constexpr int kLeftButton = 0;      ///< GLUT_LEFT_BUTTON.
  static constexpr int kWheelUp = 3;         ///< The wheel turned away: zoom in.
  static constexpr int kWheelDown = 4;       ///< The wheel turned towards: zoom out.

  /// Drives `camera`, which must outlive this object.
  explicit PointerControl(OrbitCamera& camera) : camera_(camera) {}

  void mouseDown(float x, float y, int button);  ///< From the application's mouseDown.
  /// From mouseUp: true when the release ends a click; (x, y) is then where it happened.
  bool mouseUp(float x, float y, int button);
  void mouseDrag(float x, float y);  ///< From the one-argument mouseDrag.
  void mouseMove(float x, float y);  ///< From mouseMove.

  bool pointerKnown() const { return known_; }  ///< Any pointer event seen yet.
  float x() const { return x_; }                ///< Last known pointer x, window pixels.
  float y() const { return y_; }                ///< Last known pointer y, window pixels.
  bool pressed() const { return pressed_; }     ///< The left button is held.
  bool dragging() const { return dragging_; }   ///< Moved past the slop since the press.

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
