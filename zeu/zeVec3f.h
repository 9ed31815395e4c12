/// @file
/// Three-component single-precision value vector: positions, velocities,
/// forces, normals, scales and texture coordinates. Every operation stores
/// float components; nothing is computed in wider precision and kept.
#pragma once

#include <cmath>

/// Three floats: a position, direction, normal, scale or texture coordinate.
class zeVec3f {
 public:
  float x;  ///< First component.
  float y;  ///< Second component.
  float z;  ///< Third component.

  zeVec3f() : x(0.0f), y(0.0f), z(0.0f) {}                  ///< The zero vector.
  zeVec3f(float x, float y, float z) : x(x), y(y), z(z) {}  ///< (x, y, z).
  /// Copying is field by field; declared only because the value-taking
  /// assignment below would otherwise deprecate the implicit copy.
  zeVec3f(const zeVec3f&) = default;

  /// Stores the three components.
  void set(float x, float y, float z) {
    this->x = x;
    this->y = y;
    this->z = z;
  }
  /// Copies v; yields nothing, so assignments cannot be chained.
  void operator=(zeVec3f v) { set(v.x, v.y, v.z); }
  /// Adds v component by component.
  void operator+=(zeVec3f v) {
    x += v.x;
    y += v.y;
    z += v.z;
  }
  /// Multiplies every component by s.
  void operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
  }
  /// Divides every component by s: three divisions, not a multiplication by the reciprocal.
  void operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
  }
  float dot(zeVec3f& v);                                   ///< Scalar product.
  zeVec3f cross(zeVec3f& v);                               ///< Vector product this x v.
  void normalize();                                        ///< To length 1; a zero vector stays.
  float length() { return std::sqrt(lengthSquared()); }    ///< Euclidean length.
  float lengthSquared() { return x * x + y * y + z * z; }  ///< Square of the length.
};

/// Component-wise sum.
inline zeVec3f operator+(zeVec3f a, zeVec3f b) {
  return zeVec3f(a.x + b.x, a.y + b.y, a.z + b.z);
}
/// Component-wise difference.
inline zeVec3f operator-(zeVec3f a, zeVec3f b) {
  return zeVec3f(a.x - b.x, a.y - b.y, a.z - b.z);
}
/// Every component times s.
inline zeVec3f operator*(zeVec3f a, float s) {
  return zeVec3f(a.x * s, a.y * s, a.z * s);
}
/// Every component divided by s.
inline zeVec3f operator/(zeVec3f a, float s) {
  return zeVec3f(a.x / s, a.y / s, a.z / s);
}
