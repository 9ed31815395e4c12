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

TEST(OrbitCamera, OrbitAndZoomStayWithinTheirLimitsAndResetRestoresTheStart) {
  OrbitCamera cam(-35.0f, 0.0f, 10.0f);
  cam.orbit(0.0f, -1000.0f);  // far down: straight from above at most
  EXPECT_EQ(cam.tilt, 0.0f);
  cam.orbit(0.0f, 1000.0f);  // far up: from the side at most
  EXPECT_EQ(cam.tilt, -90.0f);
  cam.orbit(-10.0f, 0.0f);  // turning wraps into [0, 360)
  EXPECT_FLOAT_EQ(cam.turn, 356.0f);
  cam.zoom(100);
  EXPECT_EQ(cam.scale, 80.0f);
  cam.zoom(-200);
  EXPECT_EQ(cam.scale, 1.25f);
  cam.zoom(1);
  EXPECT_FLOAT_EQ(cam.scale, 1.375f);

  cam.autoTurn = false;
  cam.advance();
  EXPECT_FLOAT_EQ(cam.turn, 356.0f);
  cam.reset();
  EXPECT_EQ(cam.tilt, -35.0f);
  EXPECT_EQ(cam.turn, 0.0f);
  EXPECT_EQ(cam.scale, 10.0f);
  EXPECT_TRUE(cam.autoTurn);
  for (int k = 0; k < 1440; ++k) cam.advance();  // a full turn comes back round
  EXPECT_NEAR(cam.turn < 180.0f ? cam.turn : cam.turn - 360.0f, 0.0f, 1e-2f);
}

TEST(OrbitCamera, SoftwareAndOpenGlGetTheSameTransform) {
  glrec::reset();
  zeTransformsInit();
  OrbitCamera cam(-35.0f, 0.0f, 10.0f);
  cam.orbit(123.0f, 45.0f);
  cam.zoom(3);
  cam.applySoftware(960.0f, 540.0f);
  cam.applyGl(960.0f, 540.0f);
  EXPECT_EQ(glrec::log(),
            (std::vector<std::string>{"glTranslatef(960, 540, 0)", "glRotatef(-53, 1, 0, 0)",
                                      "glRotatef(49.2000008, 0, 0, 1)",
                                      "glScalef(13.3100014, 13.3100014, 13.3100014)"}));
  const zeMatrix4f& m = *getCurrentMatrix();
  const std::vector<double>& gl = glrec::modelviewTop();
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(m.m[r][c], gl[c * 4 + r], 1e-3) << r << "," << c;
}

TEST(PointerControl, SmallMovesAreClicksLargerOnesOrbitAndTheWheelZooms) {
  OrbitCamera cam(-35.0f, 0.0f, 10.0f);
  PointerControl pointer(cam);
  EXPECT_FALSE(pointer.pointerKnown());

  pointer.mouseDown(100.0f, 100.0f, 0);
  pointer.mouseDrag(102.0f, 102.0f);  // 2.8 px: still a click
  EXPECT_TRUE(pointer.mouseUp(102.0f, 102.0f, 0));
  EXPECT_EQ(cam.turn, 0.0f);
  EXPECT_EQ(cam.tilt, -35.0f);

  pointer.mouseDown(100.0f, 100.0f, 0);
  pointer.mouseDrag(104.0f, 100.0f);  // past the slop: the whole 4 px count
  EXPECT_TRUE(pointer.dragging());
  pointer.mouseDrag(110.0f, 95.0f);
  EXPECT_FALSE(pointer.mouseUp(120.0f, 95.0f, 0));  // the release's own move counts too
  EXPECT_FLOAT_EQ(cam.turn, 20.0f * OrbitCamera::kDegreesPerPixel);
  EXPECT_FLOAT_EQ(cam.tilt, -35.0f + 5.0f * OrbitCamera::kDegreesPerPixel);
  EXPECT_FALSE(pointer.pressed());

  // A release of the left button after a press elsewhere (or none) is no click;
  // other buttons neither orbit nor click.
  EXPECT_FALSE(pointer.mouseUp(50.0f, 50.0f, 0));
  pointer.mouseDown(10.0f, 10.0f, 2);
  pointer.mouseDrag(200.0f, 200.0f);
  EXPECT_FALSE(pointer.mouseUp(200.0f, 200.0f, 2));
  EXPECT_FLOAT_EQ(cam.turn, 8.0f);

  pointer.mouseDown(5.0f, 6.0f, 3);
  pointer.mouseUp(5.0f, 6.0f, 3);
  EXPECT_FLOAT_EQ(cam.scale, 11.0f);
  pointer.mouseDown(5.0f, 6.0f, 4);
  pointer.mouseDown(5.0f, 6.0f, 4);
  EXPECT_FLOAT_EQ(cam.scale, 11.0f / 1.1f / 1.1f);
  pointer.mouseMove(7.0f, 8.0f);
  EXPECT_TRUE(pointer.pointerKnown());
  EXPECT_EQ(pointer.x(), 7.0f);
  EXPECT_EQ(pointer.y(), 8.0f);
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
  ASSERT_FLOAT_EQ(mesh.screenVertexList[5].x, 200.0f);
  ASSERT_FLOAT_EQ(mesh.screenVertexList[5].y, 300.0f);
  EXPECT_EQ(viewkit::nearestVertex(mesh, 190.0f, 290.0f), 5);  // (1, 2)
  EXPECT_EQ(viewkit::nearestVertex(mesh, 160.0f, 140.0f), 3);  // (1, 0) beats (0, 0)
  EXPECT_EQ(viewkit::nearestVertex(mesh, 299.0f, 299.0f), 8);
  EXPECT_EQ(viewkit::nearestVertex(mesh, 150.0f, 150.0f), 0);  // a tie: the lowest index
  EXPECT_EQ(viewkit::nearestVertex(mesh, 90.0f, 200.0f), -1);  // left of the mesh
  EXPECT_EQ(viewkit::nearestVertex(mesh, 400.0f, 400.0f), -1);
  mesh.enablePicking = false;
  EXPECT_EQ(viewkit::nearestVertex(mesh, 190.0f, 290.0f), -1);
}

TEST_F(PickingTest, VerticesThatDidNotProjectAreNeverPicked) {
  mesh.screenVertexList[4].z = -1.0f;  // behind the near plane
  EXPECT_NE(viewkit::nearestVertex(mesh, 200.0f, 200.0f), 4);
  mesh.screenVertexList[4].z = 0.5f;
  EXPECT_EQ(viewkit::nearestVertex(mesh, 200.0f, 200.0f), 4);
}

}  // namespace
