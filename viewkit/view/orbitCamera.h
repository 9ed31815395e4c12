/// @file
/// A turntable camera for a model drawn in the standard 3D view of the
/// framework: the model's origin sits at a window point (normally the window
/// centre), the model is tilted about the window's x axis, turned about its own
/// vertical (z) axis and scaled. The same transform can be put on the software
/// transform stack (for shapes, whose draw maps vertices through that stack)
/// or on OpenGL's modelview matrix (for geometry sent to OpenGL directly).
///
/// Angles are degrees. A tilt of 0 looks straight down on the model's x-y
/// plane; a tilt of -90 looks at it from the side. The tilt is kept between
/// the two; the scale is kept within a factor of 8 of the starting scale.
#pragma once

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// A turntable camera: tilt about the window's x axis, turn about the model's z, scale.
class OrbitCamera {
 public:
  float startTilt;   ///< Tilt that reset() goes back to, degrees.
  float startTurn;   ///< Turn that reset() goes back to, degrees.
  float startScale;  ///< Scale that reset() goes back to.

  float tilt;     ///< Degrees, from kMostTilt (side on) to kLeastTilt (straight down).
  float turn;     ///< Degrees, kept within [0, 360).
  float scale;    ///< Within startScale / kScaleRange .. startScale * kScaleRange.
  bool autoTurn;  ///< advance() turns the model.

  static constexpr float kDegreesPerPixel = 0.4f;  ///< Orbit speed of a drag.
  static constexpr float kZoomPerNotch = 1.1f;     ///< Scale factor of one wheel notch.
  static constexpr float kAutoTurnStep = 0.25f;    ///< Degrees per frame of the automatic turn.
  static constexpr float kMostTilt = -90.0f;       ///< From the side.
  static constexpr float kLeastTilt = 0.0f;        ///< Straight down.
  static constexpr float kScaleRange = 8.0f;       ///< Scale stays within start / 8 .. start * 8.

  /// Starts (and resets to) this tilt, turn and scale; the tilt is clamped.
  OrbitCamera(float tilt, float turn, float scale);

  /// Back to the starting tilt, turn and scale, with the automatic turn on.
  void reset();
  /// A pointer movement of (dx, dy) window pixels (y up): horizontal motion
  /// turns the model the way the pointer moves, vertical motion tilts it.
  void orbit(float dx, float dy);
  /// Positive notches zoom in (the wheel pushed away), negative zoom out.
  void zoom(int notches);
  /// One frame of the automatic turn, when it is on.
  void advance();

  /// translate(cx, cy, 0), rotate(tilt, x), rotate(turn, z), scale on the
  /// current matrix of the software transform stack.
  void applySoftware(float cx, float cy) const;
  /// The same transform on OpenGL's current matrix.
  void applyGl(float cx, float cy) const;
};

}  // namespace viewkit
