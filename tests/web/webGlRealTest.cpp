// The web platform layer's matrix calls against the desktop's own: run here
// on Mesa, zeWebPerspective, zeWebLookAt and zeWebGetDoublev must give what
// GLU's gluPerspective, gluLookAt and GL's glGetDoublev give.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "testkit/realGl.h"
#include "web/platform/webGl.h"
#include "zeu/zeu.h"

namespace {

struct Matrices {
  GLdouble projection[16];
  GLdouble modelview[16];
};

Matrices queryNative() {
  Matrices m;
  glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, m.modelview);
  return m;
}

// The standard view of a 1920 x 1080 window and the cloth's view transform at
// frame 100, with either the desktop's GLU or the web layer's replacement.
void cameraAndClothView(bool web) {
  const double eye = 540.0 / std::tan(30.0 * M_PI / 180.0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (web) {
    zeWebPerspective(60.0, 1920.0 / 1080.0, eye * 0.1, eye * 10.0);
    zeWebLookAt(960.0, 540.0, eye, 960.0, 540.0, 0.0, 0.0, 1.0, 0.0);
  } else {
    gluPerspective(60.0, 1920.0 / 1080.0, eye * 0.1, eye * 10.0);
    gluLookAt(960.0, 540.0, eye, 960.0, 540.0, 0.0, 0.0, 1.0, 0.0);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(800.0f, 600.0f, 0.0f);
  glRotatef(-35.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(25.0f, 0.0f, 0.0f, 1.0f);
  glScalef(10.0f, 10.0f, 10.0f);
}

TEST(WebGlReal, MatrixQueryGivesWhatGlGetDoublevGives) {
  cameraAndClothView(false);
  const Matrices native = queryNative();
  GLdouble projection[16], modelview[16];
  zeWebGetDoublev(GL_PROJECTION_MATRIX, projection);
  zeWebGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(projection[k], native.projection[k]) << k;
    EXPECT_EQ(modelview[k], native.modelview[k]) << k;
  }

  // Shorter queries write their own count and nothing past it.
  glViewport(3, 4, 500, 400);
  GLdouble viewport[6] = {-1, -1, -1, -1, -1, -1};
  zeWebGetDoublev(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 3.0);
  EXPECT_EQ(viewport[3], 400.0);
  EXPECT_EQ(viewport[4], -1.0);
  GLdouble range[3] = {-1, -1, -1};
  zeWebGetDoublev(GL_DEPTH_RANGE, range);
  EXPECT_EQ(range[0], 0.0);
  EXPECT_EQ(range[1], 1.0);
  EXPECT_EQ(range[2], -1.0);
  glViewport(0, 0, realgl::kWidth, realgl::kHeight);
}

TEST(WebGlReal, PerspectiveAndLookAtMultiplyLikeGlu) {
  cameraAndClothView(false);
  const Matrices native = queryNative();
  cameraAndClothView(true);
  const Matrices web = queryNative();
  for (int k = 0; k < 16; ++k) {
    const double scale = std::fmax(1.0, std::fabs(native.projection[k]));
    EXPECT_NEAR(web.projection[k], native.projection[k], 1e-6 * scale) << k;
    EXPECT_EQ(web.modelview[k], native.modelview[k]) << k;
  }

  // Both multiply what is already there rather than replace it.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScalef(2.0f, 3.0f, 4.0f);
  gluLookAt(1.0, 2.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  gluPerspective(45.0, 1.5, 1.0, 100.0);
  GLdouble viaGlu[16];
  glGetDoublev(GL_PROJECTION_MATRIX, viaGlu);
  glLoadIdentity();
  glScalef(2.0f, 3.0f, 4.0f);
  zeWebLookAt(1.0, 2.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  zeWebPerspective(45.0, 1.5, 1.0, 100.0);
  GLdouble viaWeb[16];
  glGetDoublev(GL_PROJECTION_MATRIX, viaWeb);
  for (int k = 0; k < 16; ++k)
    EXPECT_NEAR(viaWeb[k], viaGlu[k], 1e-5 * std::fmax(1.0, std::fabs(viaGlu[k]))) << k;
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace
