// The standard 3D view on a real GL context: the plane z = 0 must cover the
// window one unit per pixel with (0, 0) at the lower-left corner.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "tests/support/realGl.h"
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
  void SetUp() override {
    zeuWindowWidth = realgl::kWidth;
    zeuWindowHeight = realgl::kHeight;
    zeuScreenFov = 60.0f;
    zeuWindowClear = true;
    zeuWindowBgColor[0] = zeuWindowBgColor[1] = zeuWindowBgColor[2] = 0.0f;
    frameDepth = 0;
  }
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

  // One-pixel squares at two corners land on exactly those pixels.
  glDisable(GL_LIGHTING);
  glBegin(GL_QUADS);
  glColor3f(1.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glVertex3f(1.0f, 0.0f, 0.0f);
  glVertex3f(1.0f, 1.0f, 0.0f);
  glVertex3f(0.0f, 1.0f, 0.0f);
  glColor3f(0.0f, 1.0f, 0.0f);
  glVertex3f(639.0f, 479.0f, 0.0f);
  glVertex3f(640.0f, 479.0f, 0.0f);
  glVertex3f(640.0f, 480.0f, 0.0f);
  glVertex3f(639.0f, 480.0f, 0.0f);
  glEnd();
  const std::vector<unsigned char> rgb = realgl::readPixels();
  auto pixel = [&](int x, int y) {
    const size_t i = (static_cast<size_t>(y) * realgl::kWidth + x) * 3;
    return std::vector<int>{rgb[i], rgb[i + 1], rgb[i + 2]};
  };
  EXPECT_EQ(pixel(0, 0), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(pixel(1, 0), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(pixel(0, 1), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(pixel(639, 479), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(pixel(638, 479), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(pixel(639, 478), (std::vector<int>{0, 0, 0}));

  zeuCloseToloFrame();
  EXPECT_EQ(frameDepth, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
