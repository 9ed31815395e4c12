#include "zeu/zeVec4f.h"

void zeVec4f::set(float x, float y, float z, float w) {
  this->x = x;
  this->y = y;
  this->z = z;
  this->w = w;
}
