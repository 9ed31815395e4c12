// A turntable camera for a model drawn in the standard 3D view of the
// framework: the model's origin sits at a window point (normally the window
// centre), the model is tilted about the window's x axis, turned about its own
// vertical (z) axis and scaled. The same transform can be put on the software
// transform stack (for shapes, whose draw maps vertices through that stack)
// or on OpenGL's modelview matrix (for geometry sent to OpenGL directly).
//
// Angles are degrees. A tilt of 0 looks straight down on the model's x-y
// plane; a tilt of -90 looks at it from the side. The tilt is kept between
// the two; the scale is kept within a factor of 8 of the starting scale.
#pragma once

namespace viewkit {

class OrbitCamera {
 public:
  float startTilt;
  float startTurn;
  float startScale;

  float tilt;
  float turn;  // kept within [0, 360)
  float scale;
  bool autoTurn;  // advance() turns the model

  static constexpr float kDegreesPerPixel = 0.4f;  // orbit speed of a drag
  static constexpr float kZoomPerNotch = 1.1f;     // scale factor of one wheel notch
  static constexpr float kAutoTurnStep = 0.25f;    // degrees per frame of the automatic turn
  static constexpr float kMostTilt = -90.0f;       // from the side
  static constexpr float kLeastTilt = 0.0f;        // straight down
  static constexpr float kScaleRange = 8.0f;       // scale stays within start / 8 .. start * 8

  OrbitCamera(float tilt, float turn, float scale);

  // Back to the starting tilt, turn and scale, with the automatic turn on.
  void reset();
  // A pointer movement of (dx, dy) window pixels (y up): horizontal motion
  // turns the model the way the pointer moves, vertical motion tilts it.
  void orbit(float dx, float dy);
  // Positive notches zoom in (the wheel pushed away), negative zoom out.
  void zoom(int notches);
  // One frame of the automatic turn, when it is on.
  void advance();

  // translate(cx, cy, 0), rotate(tilt, x), rotate(turn, z), scale: on the
  // current matrix of the software transform stack, or of OpenGL.
  void applySoftware(float cx, float cy) const;
  void applyGl(float cx, float cy) const;
};

}  // namespace viewkit
