#include "cloth/colliderShapes.h"

#include <cmath>

namespace cloth {

namespace {

inline float dot(const zeVec3f& a, const zeVec3f& b) {
  return (a.x * b.x + a.y * b.y) + a.z * b.z;
}

}  // namespace

float SphereShape::distance(const zeVec3f& p, zeVec3f& normal) const {
  const zeVec3f d(p.x - centre.x, p.y - centre.y, p.z - centre.z);
  const float length = std::sqrt(dot(d, d));
  // At the very centre any way out is as short: straight up.
  if (length > 0.0f) {
    const float inverse = 1.0f / length;
    normal = zeVec3f(d.x * inverse, d.y * inverse, d.z * inverse);
  } else {
    normal = zeVec3f(0.0f, 0.0f, 1.0f);
  }
  return length - radius;
}

void BoxShape::tiltAboutX(float degrees) {
  const double a = degrees * (3.14159265358979323846 / 180.0);
  const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
  axis[0] = zeVec3f(1.0f, 0.0f, 0.0f);
  axis[1] = zeVec3f(0.0f, c, s);
  axis[2] = zeVec3f(0.0f, -s, c);
}

float BoxShape::distance(const zeVec3f& p, zeVec3f& normal) const {
  const zeVec3f d(p.x - centre.x, p.y - centre.y, p.z - centre.z);
  const float local[3] = {dot(d, axis[0]), dot(d, axis[1]), dot(d, axis[2])};
  const float h[3] = {half.x, half.y, half.z};
  float outside[3], inside = -1e30f;
  int deepest = 0;
  for (int a = 0; a < 3; ++a) {
    const float q = std::fabs(local[a]) - h[a];
    outside[a] = q > 0.0f ? q : 0.0f;
    if (q > inside) {
      inside = q;
      deepest = a;
    }
  }
  const float out =
      std::sqrt((outside[0] * outside[0] + outside[1] * outside[1]) + outside[2] * outside[2]);
  zeVec3f n;
  if (out > 0.0f) {
    // Outside: towards p from the nearest point of the box.
    for (int a = 0; a < 3; ++a) {
      const float s = (local[a] < 0.0f ? -outside[a] : outside[a]) / out;
      n = zeVec3f(n.x + axis[a].x * s, n.y + axis[a].y * s, n.z + axis[a].z * s);
    }
    normal = n;
    return out;
  }
  // Inside: out through the nearest face.
  const float s = local[deepest] < 0.0f ? -1.0f : 1.0f;
  normal = zeVec3f(axis[deepest].x * s, axis[deepest].y * s, axis[deepest].z * s);
  return inside;
}

}  // namespace cloth
