#include "viewkit/view/pointerControl.h"

namespace viewkit {

void PointerControl::track(float x, float y) {
  known_ = true;
  x_ = x;
  y_ = y;
}

void PointerControl::mouseDown(float x, float y, int button) {
  track(x, y);
  if (button == kWheelUp) {
    camera_.zoom(1);
  } else if (button == kWheelDown) {
    camera_.zoom(-1);
  } else if (button == kLeftButton) {
    pressed_ = true;
    dragging_ = false;
    pressX_ = lastX_ = x;
    pressY_ = lastY_ = y;
  }
}

bool PointerControl::mouseUp(float x, float y, int button) {
  track(x, y);
  if (button != kLeftButton || !pressed_) return false;
  mouseDrag(x, y);  // a release away from the last motion event still counts
  pressed_ = false;
  const bool click = !dragging_;
  dragging_ = false;
  return click;
}

void PointerControl::mouseDrag(float x, float y) {
  track(x, y);
  if (!pressed_) return;
  if (!dragging_) {
    const float dx = x - pressX_, dy = y - pressY_;
    if (dx * dx + dy * dy <= kClickSlop * kClickSlop) return;
    dragging_ = true;  // the whole way from the press point counts
  }
  camera_.orbit(x - lastX_, y - lastY_);
  lastX_ = x;
  lastY_ = y;
}

void PointerControl::mouseMove(float x, float y) {
  track(x, y);
}

}  // namespace viewkit
