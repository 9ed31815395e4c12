// Four-component single-precision value vector: colours (red, green, blue,
// alpha) and rotations (angle in degrees in x, axis in y, z, w).
#pragma once

class zeVec4f {
 public:
  float x;
  float y;
  float z;
  float w;

  zeVec4f() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
  void set(float x, float y, float z, float w);
};
