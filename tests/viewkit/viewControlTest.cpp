// The orbit camera, the mouse handling and vertex picking, against the
// recording stand-in.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "testkit/glRecorder.h"
#include "viewkit/view/orbitCamera.h"
#include "viewkit/view/picking.h"
#include "viewkit/view/pointerControl.h"
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

// Picking takes the triangles pointInside tests, also past an entry that
// names no vertex or a leading break: a drawn triangle that hits is picked.
TEST_F(PickingTest, APickAndAHitAgreeOnEveryTriangle) {
  const struct {
    const char* what;
    GLenum style;
    std::vector<int> index;
  } cases[] = {
      {"list after an entry naming no vertex", GL_TRIANGLES, {0, 1, 2, 99, 3, 4, 5}},
      {"strip after a negative entry", GL_TRIANGLE_STRIP, {0, 1, 2, -7, 3, 4, 5}},
      {"fan after a leading break", GL_TRIANGLE_FAN, {-1, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // Vertices 3 to 5 show at window (300, 100), (400, 100), (300, 200), and
    // 0 to 2 at (100, 200), (150, 200), (100, 250).
    zeShape s(false, false, true);
    const float model[6][2] = {{0, 1}, {0.5f, 1}, {0, 1.5f}, {2, 0}, {3, 0}, {2, 1}};
    for (const auto& p : model) s.addPoint(p[0], p[1], 0.0f);
    testing::internal::CaptureStdout();  // addIndex warns about 99
    for (int k : c.index) s.addIndex(k);
    testing::internal::GetCapturedStdout();
    s.drawStyle = c.style;
    s.draw();
    EXPECT_TRUE(s.pointInside(310.0f, 110.0f));
    EXPECT_EQ(viewkit::nearestVertex(s, 310.0f, 110.0f), 3);
    EXPECT_FALSE(s.pointInside(390.0f, 190.0f));
    EXPECT_EQ(viewkit::nearestVertex(s, 390.0f, 190.0f), -1);
  }
}

// A sheet folded back under itself, seen in perspective (near plane 10, far
// 1000, the eye 100 from the sheet as the framework's view puts it on the
// projection): the front layer at z = 0, corners 0 to 3, and behind it,
// joined along x = 20, the back layer at z = -10 reaching to x = -19,
// corners 4 and 5. Corner 4 shows just inside the front layer, near corner 0.
class FoldPickingTest : public ::testing::Test {
 protected:
  void look(double eyeZ) {
    glrec::reset();
    glrec::state().recording = false;
    zeTransformsInit();
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 640.0 / 480.0, 10.0, 1000.0);
    gluLookAt(0.0, 0.0, eyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    zeTransformsCaptureCamera();
    sheet.draw();
  }
  void SetUp() override {
    const float corners[6][3] = {{-20, -20, 0}, {20, -20, 0},    {20, 20, 0},
                                 {-20, 20, 0},  {-19, -20, -10}, {-19, 20, -10}};
    for (const auto& c : corners) sheet.addPoint(c[0], c[1], c[2]);
    for (int k : {0, 1, 2, 0, 2, 3, 1, 4, 2, 4, 5, 2}) sheet.addIndex(k);
    sheet.drawStyle = GL_TRIANGLES;
  }
  float distance(int v, const zeVec3f& p) {
    const zeVec3f& s = sheet.screenVertexList[v];
    return std::hypot(s.x - p.x, s.y - p.y);
  }
  zeShape sheet{false, false, true};
};

TEST_F(FoldPickingTest, TheLayerInFrontNamesTheNode) {
  look(100.0);
  const zeVec3f at = sheet.screenVertexList[4];
  ASSERT_LT(distance(4, at), distance(0, at)) << "the back corner is nearer on the screen";
  EXPECT_EQ(viewkit::nearestVertex(sheet, at.x, at.y), 0);
  // From behind, the back layer is the one in front.
  look(-100.0);
  const zeVec3f back = sheet.screenVertexList[4];
  EXPECT_EQ(viewkit::nearestVertex(sheet, back.x, back.y), 4);
  const viewkit::SurfacePick pick = viewkit::pickSurface(sheet, back.x, back.y);
  EXPECT_NEAR(pick.depth, (1010.0 / 990.0) - 20000.0 / (990.0 * 90.0), 1e-6) << "z / w at 90";
}

// Between the near plane and twice its distance the window z that is not
// divided by w is below 0, but the surface is drawn and is picked; nearer
// than the near plane it is not drawn and is not picked.
TEST_F(FoldPickingTest, SurfacesJustBeyondTheNearPlaneArePicked) {
  for (const auto& c : {std::make_pair(100.0 - 15.0, true), std::make_pair(100.0 - 5.0, false)}) {
    SCOPED_TRACE(c.first);
    zeShape near{false, false, false};
    near.addPoint(-1, -1, static_cast<float>(c.first));
    near.addPoint(1, -1, static_cast<float>(c.first));
    near.addPoint(0, 1, static_cast<float>(c.first));
    near.drawStyle = GL_TRIANGLES;
    look(100.0);
    near.draw();
    if (c.second) {
      ASSERT_LT(near.screenVertexList[0].z, 0.0f);
      EXPECT_EQ(viewkit::nearestVertex(near, 320.0f, 230.0f), 0);
    } else {
      EXPECT_EQ(viewkit::nearestVertex(near, 320.0f, 230.0f), -1);
    }
  }
}

}  // namespace
