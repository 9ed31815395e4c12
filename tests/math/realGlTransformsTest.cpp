// The software transform stack and camera capture against real OpenGL.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "testkit/realGl.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace {

// Fixed-seed uniform numbers, independent of the library's distributions.
struct Rng {
  std::mt19937 gen{20240611u};
  float in(float lo, float hi) { return lo + (hi - lo) * (float)(gen() / 4294967296.0); }
};

// The software stack and GL's modelview receive the same random sequences
// of translate / rotate / scale and must agree.
//
// Tolerance: both sides work in single precision but round differently
// (Mesa builds the rotation from sin/cos of the angle in degrees with its
// own operation order), so each call can differ by a few ulps of the
// entries it touches, and the differences add up over a sequence. Every
// entry's error is bounded by a few ulps of the largest entry of the matrix
// times the number of calls; 4 ulps per call is generous for that and still
// far below any real mistake (a wrong sign, order or transposition changes
// entries by the order of the matrix's magnitude).
TEST(RealGlTransforms, StackMatchesModelview) {
  Rng rng;
  zeMatrixHeight = 0;
  zeTransformsInit();
  glMatrixMode(GL_MODELVIEW);
  double worst = 0.0;
  for (int seq = 0; seq < 300; seq++) {
    zePushMatrix();
    glLoadIdentity();
    const int calls = 1 + (int)(rng.gen() % 8);
    for (int k = 0; k < calls; k++) {
      const unsigned kind = rng.gen() % 3;
      if (kind == 0) {
        const float x = rng.in(-100, 100), y = rng.in(-100, 100), z = rng.in(-100, 100);
        zeTranslatef(x, y, z);
        glTranslatef(x, y, z);
      } else if (kind == 1) {
        const float a = rng.in(-360, 360);
        const float x = rng.in(-1, 1), y = rng.in(-1, 1), z = rng.in(-1, 1);
        zeRotatef(a, x, y, z);
        glRotatef(a, x, y, z);
      } else {
        float s[3];
        for (float& f : s) f = rng.in(0.25f, 4.0f) * (rng.gen() % 4 == 0 ? -1.0f : 1.0f);
        zeScalef(s[0], s[1], s[2]);
        glScalef(s[0], s[1], s[2]);
      }
    }
    GLfloat gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    const zeMatrix4f& sw = *getCurrentMatrix();
    // Magnitudes: of the linear 3 x 3 block for its own entries, of the
    // whole matrix for the translation column, which sums block * offset.
    float block = 0.0f, whole = 0.0f;
    for (int i = 0; i < 16; i++) {
      whole = std::max(whole, std::fabs(gl[i]));
      if (i < 12 && i % 4 < 3) block = std::max(block, std::fabs(gl[i]));
    }
    for (int r = 0; r < 4; r++)
      for (int c = 0; c < 4; c++) {
        const double unit = calls * FLT_EPSILON * (c < 3 ? block : whole);
        const double d = std::fabs((double)sw.m[r][c] - gl[c * 4 + r]);
        worst = std::max(worst, d / unit);
        ASSERT_LE(d, 4.0 * unit) << "sequence " << seq << " entry " << r << "," << c;
      }
    zePopMatrix();
  }
  EXPECT_EQ(zeMatrixHeight, 0);
  RecordProperty("worstUlpsPerCall", std::to_string(worst));
}

TEST(RealGlTransforms, CaptureMatchesGluProject) {
  realgl::useTestWindowForFrames();
  zeuOpenToloFrame();
  zeTransformsCaptureCamera();

  EXPECT_EQ(view[2], 640);
  EXPECT_EQ(view[3], 480);
  zeVec3f lowerLeft(0, 0, 0), upperRight(640, 480, 0), out;
  zeTransformRealToScreen(lowerLeft, out);
  EXPECT_NEAR(out.x, 0.0f, 0.01f);
  EXPECT_NEAR(out.y, 0.0f, 0.01f);
  zeTransformRealToScreen(upperRight, out);
  EXPECT_NEAR(out.x, 640.0f, 0.01f);
  EXPECT_NEAR(out.y, 480.0f, 0.01f);

  GLdouble mv[16], proj[16];
  GLint vp[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, vp);
  Rng rng;
  for (int i = 0; i < 50; i++) {
    zeVec3f p(rng.in(-200, 840), rng.in(-200, 680), rng.in(-300, 300));
    GLdouble wx, wy, wz;
    ASSERT_EQ(gluProject(p.x, p.y, p.z, mv, proj, vp, &wx, &wy, &wz), GL_TRUE);
    zeTransformRealToScreen(p, out);
    EXPECT_NEAR(out.x, wx, 0.01) << i;
    EXPECT_NEAR(out.y, wy, 0.01) << i;
  }

  // The viewport centre on the near plane: the standard eye looks straight
  // down at the window centre.
  EXPECT_NEAR(cameraPos.x, 320.0f, 0.01f);
  EXPECT_NEAR(cameraPos.y, 240.0f, 0.01f);
  EXPECT_NEAR(cameraPos.z, 374.1230f, 0.01f);
  zeuCloseToloFrame();
  EXPECT_EQ(frameDepth, 0);
}

}  // namespace
