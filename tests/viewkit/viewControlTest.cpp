// The orbit camera, the mouse handling and vertex picking, against the
// recording stand-in.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/support/glRecorder.h"
#include "viewkit/orbitCamera.h"
#include "viewkit/picking.h"
#include "viewkit/pointerControl.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeTransforms.h"

namespace {

using viewkit::OrbitCamera;
using viewkit::PointerControl;

// The lower limits of tilt and zoom, and v, are also the explorer's test.
TEST(OrbitCamera, OrbitAndZoomStayWithinTheirLimits) {
  OrbitCamera cam(-35.0f, 0.0f, 10.0f);
  cam.orbit(0.0f, -1000.0f);  // far down: straight from above at most
  EXPECT_EQ(cam.tilt, 0.0f);
  cam.orbit(0.0f, 1000.0f);  // far up: from the side at most
  EXPECT_EQ(cam.tilt, -90.0f);
  cam.orbit(-10.0f, 0.0f);  // turning wraps into [0, 360)
  EXPECT_FLOAT_EQ(cam.turn, 356.0f);
  cam.zoom(100);
  EXPECT_EQ(cam.scale, 80.0f);
}

TEST(OrbitCamera, SoftwareAndOpenGlGetTheSameTransform) {
  glrec::reset();
  zeTransformsInit();
  OrbitCamera cam(-35.0f, 0.0f, 10.0f);
  cam.orbit(123.0f, 45.0f);
  cam.zoom(3);
  cam.applySoftware(960.0f, 540.0f);
  cam.applyGl(960.0f, 540.0f);
  const zeMatrix4f& m = *getCurrentMatrix();
  const std::vector<double>& gl = glrec::modelviewTop();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(m.m[r][c], gl[c * 4 + r], 1e-3) << r << "," << c;
}

TEST(PointerControl, SmallMovesAreClicksLargerOnesOrbitAndTheWheelZooms) {
  OrbitCamera cam(-35.0f, 0.0f, 10.0f);
  PointerControl pointer(cam);

  pointer.mouseDown(100.0f, 100.0f, 0);
  pointer.mouseDrag(102.0f, 102.0f);  // 2.8 px: still a click
  EXPECT_TRUE(pointer.mouseUp(102.0f, 102.0f, 0));
  EXPECT_EQ(cam.turn, 0.0f);
  EXPECT_EQ(cam.tilt, -35.0f);

  pointer.mouseDown(100.0f, 100.0f, 0);
  pointer.mouseDrag(104.0f, 100.0f);  // past the slop: the whole 4 px count
  pointer.mouseDrag(110.0f, 95.0f);
  EXPECT_FALSE(pointer.mouseUp(120.0f, 95.0f, 0));  // the release's own move counts too
  EXPECT_FLOAT_EQ(cam.turn, 20.0f * OrbitCamera::kDegreesPerPixel);
  EXPECT_FLOAT_EQ(cam.tilt, -35.0f + 5.0f * OrbitCamera::kDegreesPerPixel);

  // A release without a press is no click; other buttons neither orbit nor click.
  EXPECT_FALSE(pointer.mouseUp(50.0f, 50.0f, 0));
  pointer.mouseDown(10.0f, 10.0f, 2);
  pointer.mouseDrag(200.0f, 200.0f);
  EXPECT_FALSE(pointer.mouseUp(200.0f, 200.0f, 2));
  EXPECT_FLOAT_EQ(cam.turn, 8.0f);

  pointer.mouseDown(5.0f, 6.0f, 3);  // wheel: zoom in, then out twice
  pointer.mouseDown(5.0f, 6.0f, 4);
  pointer.mouseDown(5.0f, 6.0f, 4);
  EXPECT_FLOAT_EQ(cam.scale, 10.0f / 1.1f);
}

// A 3 x 3 mesh drawn one unit per 100 pixels from window point (100, 100):
// vertex (i, j) shows at (100 + 100 i, 100 + 100 j).
class PickingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
    zeTransformsInit();
    // Window 640 x 480; an orthographic projection mapping the plane 1:1.
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    zeTransformsCaptureCamera();
    zeTranslatef(100.0f, 100.0f, 0.0f);
    zeScalef(100.0f, 100.0f, 1.0f);
    mesh.draw();
  }
  zeMeshShape mesh{3, 3};
};

TEST_F(PickingTest, NearestWindowPositionOnTheShapeAndNothingOffIt) {
  EXPECT_EQ(viewkit::nearestVertex(mesh, 190.0f, 290.0f), 5);  // (1, 2)
  EXPECT_EQ(viewkit::nearestVertex(mesh, 150.0f, 150.0f), 0);  // a tie: the lowest index
  EXPECT_EQ(viewkit::nearestVertex(mesh, 90.0f, 200.0f), -1);  // left of the mesh
  mesh.enablePicking = false;
  EXPECT_EQ(viewkit::nearestVertex(mesh, 190.0f, 290.0f), -1);
}

TEST_F(PickingTest, VerticesThatDidNotProjectAreNeverPicked) {
  mesh.absVertexList[4].z = 2.0f;  // nearer than the near plane at z = 1: not drawn
  EXPECT_NE(viewkit::nearestVertex(mesh, 200.0f, 200.0f), 4);
  mesh.absVertexList[4].z = 0.5f;
  EXPECT_EQ(viewkit::nearestVertex(mesh, 200.0f, 200.0f), 4);
}

}  // namespace
