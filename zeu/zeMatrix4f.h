/// @file
/// 4 x 4 single-precision matrix.
///
/// Layout: m[row][column], stored row after row. The matrix maps column
/// vectors: a point p goes to m * (p, 1). OpenGL's 16-element arrays are
/// column-major, so OpenGL element c * 4 + r is m[r][c].
///
/// Multiply order: translate, rotgen and scale multiply this matrix on the
/// right (m = m * T), exactly as glTranslatef, glRotatef and glScalef do to the
/// current OpenGL matrix, so the same sequence of calls builds the same
/// transformation in software and in OpenGL.
#pragma once

#include "zeu/zeVec3f.h"

/// 4 x 4 single-precision matrix, m[row][column], mapping column vectors.
class zeMatrix4f {
 public:
  float m[4][4];  ///< The elements, m[row][column].

  /// Leaves m unset; matrices of static storage start as all zeros.
  zeMatrix4f() {}

  void set(zeMatrix4f* source);  ///< Copies the elements of source.
  void set(float source[4][4]);  ///< Copies source, row-major like m; no transposition.
  void setIdentity();            ///< Makes this the identity.
  /// Affine image of in (w = 1, no division); in and out must differ.
  void transform3(zeVec3f* in, zeVec3f* out);
  /// out = m * in, four components, no division; in and out must differ.
  void transform4(float* in, float* out);
  /// c = a * b; c must differ from a and from b.
  static void multiply(float a[4][4], float b[4][4], float c[4][4]);
  /// this = this * R(axis, angle in radians); a zero axis or angle changes nothing.
  void rotgen(float x, float y, float z, float angle);
  void scale(float x, float y, float z);      ///< this = this * diag(x, y, z, 1)
  void translate(float x, float y, float z);  ///< this = this * T(x, y, z)
};
