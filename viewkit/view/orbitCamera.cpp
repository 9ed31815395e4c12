#include "viewkit/view/orbitCamera.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "zeShape/zeTransforms.h"

namespace viewkit {

namespace {

float wrapDegrees(float a) {
  a = std::fmod(a, 360.0f);
  return a < 0.0f ? a + 360.0f : a;
}

}  // namespace

OrbitCamera::OrbitCamera(float tilt, float turn, float scale)
    : startTilt(std::clamp(tilt, kMostTilt, kLeastTilt)),
      startTurn(wrapDegrees(turn)),
      startScale(scale) {
  reset();
}

void OrbitCamera::reset() {
  tilt = startTilt;
  turn = startTurn;
  scale = startScale;
  autoTurn = true;
}

void OrbitCamera::orbit(float dx, float dy) {
  turn = wrapDegrees(turn + dx * kDegreesPerPixel);
  // Dragging down brings the near edge down, towards the view from above.
  tilt = std::clamp(tilt - dy * kDegreesPerPixel, kMostTilt, kLeastTilt);
}

void OrbitCamera::zoom(int notches) {
  const float factor = std::pow(kZoomPerNotch, static_cast<float>(notches));
  scale = std::clamp(scale * factor, startScale / kScaleRange, startScale * kScaleRange);
}

void OrbitCamera::advance() {
  if (autoTurn) turn = wrapDegrees(turn + kAutoTurnStep);
}

void OrbitCamera::applySoftware(float cx, float cy) const {
  zeTranslatef(cx, cy, 0.0f);
  zeRotatef(tilt, 1.0f, 0.0f, 0.0f);
  zeRotatef(turn, 0.0f, 0.0f, 1.0f);
  zeScalef(scale, scale, scale);
}

void OrbitCamera::applyGl(float cx, float cy) const {
  glTranslatef(cx, cy, 0.0f);
  glRotatef(tilt, 1.0f, 0.0f, 0.0f);
  glRotatef(turn, 0.0f, 0.0f, 1.0f);
  glScalef(scale, scale, scale);
}

}  // namespace viewkit
