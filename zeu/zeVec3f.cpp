#include "zeu/zeVec3f.h"

float zeVec3f::dot(zeVec3f& v) {
  return x * v.x + y * v.y + z * v.z;
}

zeVec3f zeVec3f::cross(zeVec3f& v) {
  return zeVec3f(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
}

void zeVec3f::normalize() {
  const float len = length();
  if (len != 0.0f) {
    x /= len;
    y /= len;
    z /= len;
  }
}
