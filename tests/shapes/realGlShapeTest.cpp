// A mesh shape drawn with the real OpenGL in the standard 3D view: its window
// positions must match what OpenGL projects, and picking must agree with
// the pixels on the screen.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "testkit/realGl.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShapeArrays.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace {

class RealGlShape : public ::testing::Test {
 protected:
  void SetUp() override {
    realgl::useTestWindowForFrames();
    zeMatrixHeight = 0;
    zeTransformsInit();
  }

  // Draws a 10 x 10 mesh, flat in z = 0 and scaled to 300 x 200 units with
  // its corner at (100, 120), under the given view transform on the software
  // transform stack (shapes send world positions, so OpenGL's modelview stays
  // the identity and the captured camera maps them to the window), and
  // returns the back buffer before the swap.
  std::vector<unsigned char> drawMesh(zeMeshShape& mesh, void (*viewTransform)()) {
    zeuOpenToloFrame();
    zeTransformsCaptureCamera();
    glDisable(GL_LIGHTING);  // plain white, so every covered pixel is bright
    mesh.Translation.set(100, 120, 0);
    mesh.Scale.set(300.0f / 9, 200.0f / 9, 1);
    zePushMatrix();
    viewTransform();
    mesh.draw();
    zePopMatrix();
    glGetDoublev(GL_MODELVIEW_MATRIX, mv_);
    glGetDoublev(GL_PROJECTION_MATRIX, proj_);
    glGetIntegerv(GL_VIEWPORT, vp_);
    std::vector<unsigned char> rgb = realgl::readPixels();
    zeuCloseToloFrame();
    return rgb;
  }

  static bool lit(const std::vector<unsigned char>& rgb, int x, int y) {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * realgl::kWidth + x) * 3];
    return p[0] > 128 && p[1] > 128 && p[2] > 128;
  }
  static bool black(const std::vector<unsigned char>& rgb, int x, int y) {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * realgl::kWidth + x) * 3];
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  }

  // Window positions of the last draw against gluProject of the world
  // positions with OpenGL's matrices.
  void expectScreenPositionsMatchGl(zeMeshShape& mesh) {
    for (int i = 0; i < mesh.listLength; ++i) {
      const zeVec3f& p = mesh.absVertexList[i];
      GLdouble wx, wy, wz;
      ASSERT_EQ(gluProject(p.x, p.y, p.z, mv_, proj_, vp_, &wx, &wy, &wz), GL_TRUE);
      EXPECT_NEAR(mesh.screenVertexList[i].x, wx, 0.01) << "vertex " << i;
      EXPECT_NEAR(mesh.screenVertexList[i].y, wy, 0.01) << "vertex " << i;
    }
  }

  // Every 4th pixel: where the mesh is lit, pointInside hits; where the
  // picture is black, it misses. Pixels on the mesh's outline, where
  // rasterisation and the inclusive border test may differ by a pixel, are
  // left out by requiring the 3 x 3 neighbourhood to agree.
  void expectPickingMatchesPixels(zeMeshShape& mesh, const std::vector<unsigned char>& rgb,
                                  int* hits, int* misses) {
    *hits = *misses = 0;
    for (int y = 1; y < realgl::kHeight - 1; y += 4)
      for (int x = 1; x < realgl::kWidth - 1; x += 4) {
        bool allLit = true, allBlack = true;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            allLit = allLit && lit(rgb, x + dx, y + dy);
            allBlack = allBlack && black(rgb, x + dx, y + dy);
          }
        // Pixel centres are at half-integer window coordinates.
        const float px = x + 0.5f, py = y + 0.5f;
        if (allLit) {
          ++*hits;
          EXPECT_TRUE(mesh.pointInside(px, py)) << "lit pixel " << x << "," << y;
        } else if (allBlack) {
          ++*misses;
          EXPECT_FALSE(mesh.pointInside(px, py)) << "black pixel " << x << "," << y;
        }
      }
  }

  GLdouble mv_[16], proj_[16];
  GLint vp_[4];
};

TEST_F(RealGlShape, FlatMeshInTheStandardView) {
  zeMeshShape mesh(10, 10);
  const auto rgb = drawMesh(mesh, [] {});
  expectScreenPositionsMatchGl(mesh);
  // The standard view shows z = 0 one unit per pixel.
  EXPECT_NEAR(mesh.screenVertexList[0].x, 100.0f, 0.01f);
  EXPECT_NEAR(mesh.screenVertexList[0].y, 120.0f, 0.01f);
  EXPECT_NEAR(mesh.screenVertexList[99].x, 400.0f, 0.01f);
  EXPECT_NEAR(mesh.screenVertexList[99].y, 320.0f, 0.01f);
  int hits, misses;
  expectPickingMatchesPixels(mesh, rgb, &hits, &misses);
  EXPECT_GT(hits, 2000);
  EXPECT_GT(misses, 10000);
  EXPECT_TRUE(mesh.pointInside(250, 220));
  EXPECT_FALSE(mesh.pointInside(50, 50));
}

TEST_F(RealGlShape, TiltedViewOnTheTransformStack) {
  zeMeshShape mesh(10, 10);
  const auto rgb = drawMesh(mesh, [] {
    zeTranslatef(320, 240, 0);
    zeRotatef(-35, 1, 0, 0);
    zeRotatef(20, 0, 0, 1);
    zeScalef(1.2f, 1.2f, 1.2f);
    zeTranslatef(-250, -220, 0);
  });
  expectScreenPositionsMatchGl(mesh);
  int hits, misses;
  expectPickingMatchesPixels(mesh, rgb, &hits, &misses);
  EXPECT_GT(hits, 1000);
  EXPECT_GT(misses, 10000);
}

}  // namespace
