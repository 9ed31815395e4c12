// Three-component single-precision value vector: positions, velocities,
// forces, normals, scales and texture coordinates. Every operation stores
// float components; nothing is computed in wider precision and kept.
#pragma once

#include <cmath>

class zeVec3f {
 public:
  float x;
  float y;
  float z;

  zeVec3f() : x(0.0f), y(0.0f), z(0.0f) {}
  zeVec3f(float x, float y, float z) : x(x), y(y), z(z) {}
  // Copying is field by field; declared only because the value-taking
  // assignment below would otherwise deprecate the implicit copy.
  zeVec3f(const zeVec3f&) = default;

  void set(float x, float y, float z) {
    this->x = x;
    this->y = y;
    this->z = z;
  }
  // Yields nothing, so assignments cannot be chained.
  void operator=(zeVec3f v) { set(v.x, v.y, v.z); }
  void operator+=(zeVec3f v) {
    x += v.x;
    y += v.y;
    z += v.z;
  }
  void operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
  }
  // Three divisions, not a multiplication by the reciprocal.
  void operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
  }
  float dot(zeVec3f& v);
  zeVec3f cross(zeVec3f& v);  // this x v
  void normalize();           // a vector of length exactly 0 stays unchanged
  float length() { return std::sqrt(lengthSquared()); }
  float lengthSquared() { return x * x + y * y + z * z; }
};

inline zeVec3f operator+(zeVec3f a, zeVec3f b) {
  return zeVec3f(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline zeVec3f operator-(zeVec3f a, zeVec3f b) {
  return zeVec3f(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline zeVec3f operator*(zeVec3f a, float s) {
  return zeVec3f(a.x * s, a.y * s, a.z * s);
}
inline zeVec3f operator/(zeVec3f a, float s) {
  return zeVec3f(a.x / s, a.y / s, a.z / s);
}
