// Vectors and the 4 x 4 matrix.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "zeu/zeMatrix4f.h"
#include "zeu/zeVec3f.h"
#include "zeu/zeVec4f.h"

namespace {

const float kPi = 3.14159265358979f;

void expectVec(const zeVec3f& v, float x, float y, float z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

void expectNear(const zeVec3f& v, float x, float y, float z, float eps = 1e-6f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

bool sameBits(const zeMatrix4f& a, const zeMatrix4f& b) {
  return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

// A matrix with sixteen distinct, non-trivial entries.
zeMatrix4f general() {
  zeMatrix4f g;
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) g.m[i][j] = 0.5f + i * 4 + j * 1.25f - (i == j ? 3.0f : 0.0f);
  return g;
}

zeMatrix4f identity() {
  zeMatrix4f i;
  i.setIdentity();
  return i;
}

TEST(Vec, ConstructionAndArithmetic) {
  expectVec(zeVec3f(), 0, 0, 0);
  zeVec4f c;
  EXPECT_EQ(c.x, 0.0f);
  EXPECT_EQ(c.w, 0.0f);
  c.set(1, 2, 3, 4);
  EXPECT_EQ(c.z, 3.0f);
  EXPECT_EQ(c.w, 4.0f);

  expectVec(zeVec3f(1, 2, 3) - zeVec3f(1, 1, 1), 0, 1, 2);  // first minus second
  expectVec(zeVec3f(1, 2, 3) + zeVec3f(1, 1, 1), 2, 3, 4);
  expectVec(zeVec3f(1, 2, 3) * 2.0f, 2, 4, 6);
  expectVec(zeVec3f(1, 2, 3) / 2.0f, 0.5f, 1, 1.5f);

  zeVec3f v(1, 2, 3);
  v += zeVec3f(1, 1, 1);
  v *= 3.0f;
  expectVec(v, 6, 9, 12);
  v /= 3.0f;
  expectVec(v, 2, 3, 4);
  v = zeVec3f(7, 8, 9);
  expectVec(v, 7, 8, 9);

  // Division by zero follows IEEE: infinities and not-a-number, no trap.
  zeVec3f d = zeVec3f(1, -2, 0) / 0.0f;
  EXPECT_TRUE(std::isinf(d.x) && d.x > 0);
  EXPECT_TRUE(std::isinf(d.y) && d.y < 0);
  EXPECT_TRUE(std::isnan(d.z));
  zeVec3f e(1, -2, 0);
  e /= 0.0f;
  EXPECT_TRUE(std::isinf(e.x) && std::isinf(e.y) && std::isnan(e.z));
}

TEST(Vec, DotCrossLengthNormalize) {
  zeVec3f ex(1, 0, 0), ey(0, 1, 0);
  expectVec(ex.cross(ey), 0, 0, 1);
  expectVec(ey.cross(ex), 0, 0, -1);
  zeVec3f a(1, 2, 3), b(4, 5, 6);
  expectVec(a.cross(b), -3, 6, -3);
  EXPECT_EQ(a.dot(b), 32.0f);

  zeVec3f v(3, 0, 4);
  EXPECT_EQ(v.length(), 5.0f);
  EXPECT_EQ(v.lengthSquared(), 25.0f);
  v.normalize();
  expectVec(v, 0.6f, 0.0f, 0.8f);

  zeVec3f zero;
  zero.normalize();
  expectVec(zero, 0, 0, 0);

  zeVec3f n(NAN, 1, 1);
  EXPECT_TRUE(std::isnan(n.length()));
  n.normalize();
  EXPECT_TRUE(std::isnan(n.x) && std::isnan(n.y) && std::isnan(n.z));
}

TEST(Matrix, SetIdentityAndMultiply) {
  zeMatrix4f g = general();
  float src[4][4];
  std::memcpy(src, g.m, sizeof src);
  zeMatrix4f s;
  s.set(src);
  EXPECT_TRUE(sameBits(s, g));
  EXPECT_EQ(s.m[0][3], src[0][3]);  // no transposition
  EXPECT_EQ(s.m[3][0], src[3][0]);
  zeMatrix4f t;
  t.set(&g);
  EXPECT_TRUE(sameBits(t, g));

  zeMatrix4f id = identity(), c;
  zeMatrix4f::multiply(id.m, g.m, c.m);
  EXPECT_TRUE(sameBits(c, g));
  zeMatrix4f::multiply(g.m, id.m, c.m);
  EXPECT_TRUE(sameBits(c, g));

  // Row by column, and the result is cleared first (no stale sums).
  float a[4][4] = {{1, 2, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  float b[4][4] = {{1, 0, 0, 0}, {3, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  float r[4][4];
  for (auto& row : r)
    for (float& x : row) x = 99.0f;
  zeMatrix4f::multiply(a, b, r);
  EXPECT_EQ(r[0][0], 7.0f);
  EXPECT_EQ(r[0][1], 2.0f);
  EXPECT_EQ(r[1][0], 3.0f);
  EXPECT_EQ(r[2][3], 0.0f);
}

TEST(Matrix, TransformsReadTheRightEntries) {
  zeMatrix4f m = identity();
  m.translate(1, 2, 3);
  m.scale(2, 3, 4);
  zeVec3f in(1, 1, 1), out;
  m.transform3(&in, &out);
  expectVec(out, 3, 5, 7);

  // Row 3 is never read and nothing is divided by a w.
  m.m[3][0] = 5;
  m.m[3][1] = -7;
  m.m[3][3] = 0;
  zeVec3f out2;
  m.transform3(&in, &out2);
  expectVec(out2, 3, 5, 7);

  zeMatrix4f aff = identity();
  aff.rotgen(1, 2, 3, 0.7f);
  aff.translate(4, 5, 6);
  float p[4] = {1.5f, -2, 3, 1}, q[4];
  aff.transform4(p, q);
  EXPECT_EQ(q[3], 1.0f);
}

TEST(Matrix, ScaleAndTranslateMultiplyOnTheRight) {
  zeMatrix4f m = identity();
  m.scale(2, 2, 2);
  m.translate(1, 0, 0);
  zeVec3f origin, out;
  m.transform3(&origin, &out);
  expectVec(out, 2, 0, 0);

  zeMatrix4f n = identity();
  n.translate(1, 0, 0);
  n.scale(2, 2, 2);
  n.transform3(&origin, &out);
  expectVec(out, 1, 0, 0);
}

// The in-place operations touch their sixteen floats and nothing after them.
TEST(Matrix, InPlaceOperationsStayInsideTheMatrix) {
  struct {
    zeMatrix4f m;
    float after[4];
  } guarded;
  guarded.m = identity();
  const float canary[4] = {7, 7, 7, 7};
  std::memcpy(guarded.after, canary, sizeof canary);
  guarded.m.scale(2, 3, 4);
  guarded.m.translate(1, 2, 3);
  guarded.m.rotgen(0, 0, 1, 0.5f);
  guarded.m.setIdentity();
  EXPECT_EQ(std::memcmp(guarded.after, canary, sizeof canary), 0);
}

TEST(Matrix, Rotgen) {
  // Right-hand rule about each axis.
  zeMatrix4f z = identity();
  z.rotgen(0, 0, 1, kPi / 2);
  zeVec3f ex(1, 0, 0), ey(0, 1, 0), ez(0, 0, 1), out;
  z.transform3(&ex, &out);
  expectNear(out, 0, 1, 0);
  zeMatrix4f x = identity();
  x.rotgen(1, 0, 0, kPi / 2);
  x.transform3(&ey, &out);
  expectNear(out, 0, 0, 1);
  zeMatrix4f y = identity();
  y.rotgen(0, 1, 0, kPi / 2);
  y.transform3(&ez, &out);
  expectNear(out, 1, 0, 0);

  // Axis normalised: a longer axis builds the very same matrix.
  zeMatrix4f a = identity(), b = identity();
  a.rotgen(0, 0, 2, 0.3f);
  b.rotgen(0, 0, 1, 0.3f);
  EXPECT_TRUE(sameBits(a, b));

  // old * R: an earlier translation is kept, not rotated.
  zeMatrix4f tr = identity();
  tr.translate(5, 6, 7);
  tr.rotgen(0, 0, 1, kPi / 2);
  EXPECT_EQ(tr.m[0][3], 5.0f);
  EXPECT_EQ(tr.m[1][3], 6.0f);
  EXPECT_EQ(tr.m[2][3], 7.0f);
  tr.transform3(&ex, &out);
  expectNear(out, 5, 7, 7, 1e-5f);

  // Zero axis or zero angle: unchanged, bit for bit.
  zeMatrix4f g = general(), h = general();
  h.rotgen(0, 0, 0, 1.0f);
  EXPECT_TRUE(sameBits(g, h));
  h.rotgen(1, 2, 3, 0.0f);
  EXPECT_TRUE(sameBits(g, h));
}

}  // namespace
