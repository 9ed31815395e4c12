// The standard 3D view on a real GL context: the plane z = 0 must cover the
// window one unit per pixel with (0, 0) at the lower-left corner.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "testkit/realGl.h"
#include "zeu/zeu.h"

namespace {

struct Projected {
  double x, y, z;
};

Projected project(double x, double y, double z) {
  GLdouble model[16], proj[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  Projected p{};
  EXPECT_EQ(gluProject(x, y, z, model, proj, viewport, &p.x, &p.y, &p.z), GL_TRUE);
  return p;
}

class RealGlView : public ::testing::Test {
 protected:
  void SetUp() override { realgl::useTestWindowForFrames(); }
};

TEST_F(RealGlView, StandardFrameShowsThePlaneZeroPixelForPixel) {
  zeuOpenToloFrame();

  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);

  Projected p = project(0.0, 0.0, 0.0);
  EXPECT_NEAR(p.x, 0.0, 1e-3);
  EXPECT_NEAR(p.y, 0.0, 1e-3);
  p = project(640.0, 480.0, 0.0);
  EXPECT_NEAR(p.x, 640.0, 1e-3);
  EXPECT_NEAR(p.y, 480.0, 1e-3);
  // Eye at distance 415.6922: near plane 41.56922 and far plane 4156.922 from it.
  p = project(320.0, 240.0, 415.6922 - 41.56922);
  EXPECT_NEAR(p.z, 0.0, 1e-4);
  p = project(320.0, 240.0, 415.6922 - 4156.922);
  EXPECT_NEAR(p.z, 1.0, 1e-4);

  zeuCloseToloFrame();
  EXPECT_EQ(frameDepth, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
