#include "zeu/zeMatrix4f.h"

#include <cmath>

// Scratch copy that rotgen multiplies from, so that multiply never reads the
// array it writes. Makes rotgen non-reentrant (single-threaded use only).
static zeMatrix4f temp;

void zeMatrix4f::set(zeMatrix4f* source) {
  set(source->m);
}

void zeMatrix4f::set(float source[4][4]) {
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) m[i][j] = source[i][j];
}

void zeMatrix4f::setIdentity() {
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) m[i][j] = (i == j) ? 1.0f : 0.0f;
}

void zeMatrix4f::transform3(zeVec3f* in, zeVec3f* out) {
  out->x = m[0][0] * in->x + m[0][1] * in->y + m[0][2] * in->z + m[0][3];
  out->y = m[1][0] * in->x + m[1][1] * in->y + m[1][2] * in->z + m[1][3];
  out->z = m[2][0] * in->x + m[2][1] * in->y + m[2][2] * in->z + m[2][3];
}

void zeMatrix4f::transform4(float* in, float* out) {
  for (int i = 0; i < 4; i++)
    out[i] = m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2] + m[i][3] * in[3];
}

void zeMatrix4f::multiply(float a[4][4], float b[4][4], float c[4][4]) {
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) c[i][j] = 0.0f;
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      for (int k = 0; k < 4; k++) c[i][j] = a[i][k] * b[k][j] + c[i][j];
}

void zeMatrix4f::rotgen(float x, float y, float z, float angle) {
  const float len = (float)std::sqrt((double)(x * x + y * y + z * z));
  if (len == 0.0f) return;
  if (angle == 0.0f) return;
  x = x / len;
  y = y / len;
  z = z / len;
  const float c = (float)std::cos((double)angle);
  const float s = (float)std::sin((double)angle);
  const float t = 1.0f - c;

  float r[4][4] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y, 0.0f},
                   {t * x * y + s * z, t * y * y + c, t * y * z - s * x, 0.0f},
                   {t * x * z - s * y, t * y * z + s * x, t * z * z + c, 0.0f},
                   {0.0f, 0.0f, 0.0f, 1.0f}};
  temp.set(m);
  multiply(temp.m, r, m);
}

void zeMatrix4f::scale(float x, float y, float z) {
  for (int i = 0; i < 4; i++) {
    m[i][0] = m[i][0] * x;
    m[i][1] = m[i][1] * y;
    m[i][2] = m[i][2] * z;
  }
}

void zeMatrix4f::translate(float x, float y, float z) {
  for (int i = 0; i < 4; i++) m[i][3] = m[i][1] * y + m[i][0] * x + m[i][2] * z + m[i][3];
}
