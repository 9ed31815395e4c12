#include "web/platform/webGl.h"

#include <cmath>

namespace {

int valueCount(GLenum pname) {
  switch (pname) {
    case GL_MODELVIEW_MATRIX:
    case GL_PROJECTION_MATRIX:
    case GL_TEXTURE_MATRIX:
      return 16;
    case GL_VIEWPORT:
    case GL_COLOR_CLEAR_VALUE:
    case GL_CURRENT_COLOR:
    case GL_SCISSOR_BOX:
      return 4;
    case GL_DEPTH_RANGE:
      return 2;
    default:
      return 1;
  }
}

void normalize(float v[3]) {
  const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0.0f) return;
  for (int k = 0; k < 3; ++k) v[k] /= length;
}

void cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void zeWebGetDoublev(GLenum pname, GLdouble* params) {
  GLfloat values[16] = {};
  glGetFloatv(pname, values);
  const int n = valueCount(pname);
  for (int k = 0; k < n; ++k) params[k] = values[k];
}

void zeWebPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const double half = fovy / 2.0 * M_PI / 180.0;
  const double depth = zFar - zNear;
  const double sine = std::sin(half);
  // Degenerate frusta leave the matrix alone, as GLU does.
  if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return;
  const double cotangent = std::cos(half) / sine;
  GLdouble m[16] = {};  // column-major
  m[0] = cotangent / aspect;
  m[5] = cotangent;
  m[10] = -(zFar + zNear) / depth;
  m[11] = -1.0;
  m[14] = -2.0 * zNear * zFar / depth;
  glMultMatrixd(m);
}

void zeWebLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
                 GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
  float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                      static_cast<float>(centerZ - eyeZ)};
  float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
  normalize(forward);
  float side[3];
  cross(forward, up, side);
  normalize(side);
  cross(side, forward, up);
  GLfloat m[16] = {};  // column-major; the rows are side, up and -forward
  for (int k = 0; k < 3; ++k) {
    m[4 * k + 0] = side[k];
    m[4 * k + 1] = up[k];
    m[4 * k + 2] = -forward[k];
  }
  m[15] = 1.0f;
  glMultMatrixf(m);
  glTranslated(-eyeX, -eyeY, -eyeZ);
}
