/// @file
/// Four-component single-precision value vector: colours (red, green, blue,
/// alpha) and rotations (angle in degrees in x, axis in y, z, w).
#pragma once

/// Four floats: a colour (red, green, blue, alpha) or a rotation (degrees, axis).
class zeVec4f {
 public:
  float x;  ///< Red, or the angle in degrees.
  float y;  ///< Green, or the axis's x.
  float z;  ///< Blue, or the axis's y.
  float w;  ///< Alpha, or the axis's z.

  zeVec4f() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}  ///< All four zero.
  void set(float x, float y, float z, float w);      ///< Stores the four components.
};
