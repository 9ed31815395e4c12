// The explorer against the recording stand-in: its cloth is drape's to the
// bit, pause, step and restart, the camera, picking and click reports, and
// the files it writes.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/drapeApp.h"
#include "bench/allocCounter.h"
#include "explorer/drapeExplorerApp.h"
#include "testkit/glRecorder.h"
#include "testkit/scratchDir.h"
#include "zeShape/zeNiceShapes.h"
#include "zeu/zeu.h"

namespace {

constexpr int kW = 1920, kH = 1080;

// Objects of exactly these types, made here and destroyed here.
struct DropCloth {
  void operator()(drapeApp* app) const {
    zeMeshShape* mesh = app->blanky;
    mesh->~zeMeshShape();
    ::operator delete(mesh);
    app->~drapeApp();
    ::operator delete(app);
  }
};
using Cloth = std::unique_ptr<drapeApp, DropCloth>;
using Explorer = std::unique_ptr<drapeExplorerApp>;

bool sameBits(const void* a, const void* b, size_t n) {
  return std::memcmp(a, b, n) == 0;
}

// The explorer's cloth against drape's, node by node.
::testing::AssertionResult sameNodes(const cloth::Cloth& a, const drapeApp& b) {
  if (a.nodeCount() != 3600) return ::testing::AssertionFailure() << "not 60 x 60";
  for (int n = 0; n < 3600; ++n)
    if (!sameBits(&a.positions()[n], &b.thread[n].pos, 12) ||
        !sameBits(&a.velocities()[n], &b.thread[n].vel, 12) ||
        a.inContact(n) != b.thread[n].on_surf)
      return ::testing::AssertionFailure() << "node " << n << " differs";
  return ::testing::AssertionSuccess();
}

// One redisplay as the framework makes it.
void frames(zeApp& app, int n) {
  for (int k = 0; k < n; ++k) {
    zeuOpenToloFrame();
    app.draw();
    zeuCloseToloFrame();
  }
}

Cloth drape(int n) {
  Cloth c(static_cast<drapeApp*>(new drapeApp()));
  frames(*c, n);
  return c;
}

class ExplorerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
    // What zeuOpen sets for the standard frame (zeuOpen itself would allocate
    // its diagnostics buffer again on every call).
    zeuScreenFov = 60.0f;
    zeuWindowClear = true;
    zeuWindowWidth = kW;
    zeuWindowHeight = kH;
    app.reset(new drapeExplorerApp());
    app->resize(0.0f, 0.0f, kW, kH);
  }
  void frames(int n) { ::frames(*app, n); }
  void frame() { frames(1); }
  std::string clickAt(float x, float y) {
    testing::internal::CaptureStdout();
    app->mouseDown(x, y, GLUT_LEFT_BUTTON);
    app->mouseUp(x, y, GLUT_LEFT_BUTTON);
    return testing::internal::GetCapturedStdout();
  }

  Explorer app;
};

TEST_F(ExplorerTest, NodesEqualDrapesFrameForFrameInEveryLook) {
  Cloth reference(static_cast<drapeApp*>(new drapeApp()));
  for (int k = 1; k <= 450; ++k) {
    if (k % 150 == 0) app->keyDown('n');
    frame();
    ::frames(*reference, 1);
    ASSERT_TRUE(sameNodes(app->cloth(), *reference)) << "frame " << k;
    ASSERT_EQ(app->frame(), reference->j);
  }
  EXPECT_TRUE(app->cloth().inContact(1830)) << "the cloth should have reached the terrain";
}

TEST_F(ExplorerTest, PauseHoldsClothAndTurnStepAdvancesOneFrameRestartIsANewCloth) {
  frames(20);
  app->keyDown(' ');
  const float turn = app->camera.turn;
  frames(5);
  EXPECT_EQ(app->camera.turn, turn);
  EXPECT_TRUE(sameNodes(app->cloth(), *drape(20)));
  EXPECT_NE(std::string(app->overlay()).find("paused"), std::string::npos);

  app->keyDown('.');
  frames(3);
  EXPECT_TRUE(sameNodes(app->cloth(), *drape(21)));
  app->keyDown('.');
  app->keyDown('.');
  frames(3);
  EXPECT_EQ(app->frame(), 23);
  EXPECT_FLOAT_EQ(app->camera.turn, 23 * 0.25f);

  zeMeshShape* mesh = app->mesh;
  app->keyDown('r');
  EXPECT_TRUE(sameNodes(app->cloth(), *drape(0)));
  EXPECT_EQ(app->mesh, mesh);
  EXPECT_TRUE(app->W == kW && app->H == kH);
}

// The view goes with the vertices: the camera's transform is the matrix the
// mesh was drawn through, its origin at the window's centre.
TEST_F(ExplorerTest, CameraFollowsTheWindowCentreDragsClampAndVRestores) {
  app->keyDown('n');
  app->keyDown('n');  // the net alone
  glrec::state().recording = true;
  frame();
  // The net alone is drawn; the mesh's window positions are still this
  // frame's, for picking.
  EXPECT_EQ(glrec::count("glDrawElements"), 1u);
  EXPECT_EQ(glrec::count("glVertex3f"), 0u);
  const zeMatrix4f& view = app->mesh->space;
  EXPECT_EQ(view.m[0][3], 960.0f);
  EXPECT_EQ(view.m[1][3], 540.0f);
  EXPECT_EQ(view.m[2][0], 0.0f) << "the first frame is unturned";

  app->keyDown('t');  // automatic turn off
  // Pressed beside the cloth (a press on it would take hold of a node).
  app->mouseDown(100.0f, 100.0f, GLUT_LEFT_BUTTON);
  app->mouseDrag(200.0f, -5000.0f);  // far down: straight from above, no further
  app->mouseUp(200.0f, -5000.0f, GLUT_LEFT_BUTTON);
  for (int k = 0; k < 40; ++k) app->mouseDown(10.0f, 10.0f, 4);  // zoom out to the limit
  app->resize(0.0f, 0.0f, 1000.0f, 800.0f);                      // out of full screen
  frame();
  EXPECT_EQ(view.m[0][3], 500.0f);
  EXPECT_EQ(view.m[1][3], 400.0f);
  EXPECT_EQ(app->camera.tilt, 0.0f);
  EXPECT_EQ(app->camera.scale, 1.25f);
  EXPECT_EQ(view.m[2][2], 1.25f) << "seen straight from above at the scale";
  frame();
  EXPECT_EQ(app->camera.turn, 40.25f) << "the automatic turn is off";

  app->keyDown('v');
  frame();
  EXPECT_EQ(app->camera.tilt, -35.0f);
  EXPECT_EQ(view.m[0][0], 10.0f) << "unturned, at the starting scale";
  frame();
  EXPECT_EQ(app->camera.turn, 0.5f) << "the automatic turn is on again";
}

TEST_F(ExplorerTest, PointerMarksTheNearestNodeAndClicksPrintItOnlyOnTheCloth) {
  frames(3);
  app->keyDown(' ');
  frame();
  const int node = 1830;
  const zeVec3f at = app->mesh->screenVertexList[node];
  app->mouseMove(at.x + 1.0f, at.y - 1.0f);
  frame();
  EXPECT_EQ(app->hovered, node);
  EXPECT_NE(std::string(app->overlay()).find("node 1830 ("), std::string::npos) << app->overlay();

  const zeVec3f p = app->cloth().positions()[node];
  char expected[96];
  std::snprintf(expected, sizeof expected, "node 1830 (%.2f, %.2f, %.2f)\n", p.x, p.y, p.z);
  EXPECT_EQ(clickAt(at.x + 1.0f, at.y - 1.0f), expected);
  app->cloth().setNode(node, p, app->cloth().velocities()[node], true);
  std::snprintf(expected, sizeof expected, "node 1830 (%.2f, %.2f, %.2f) on terrain\n", p.x, p.y,
                p.z);
  EXPECT_EQ(clickAt(at.x, at.y), expected);

  EXPECT_EQ(clickAt(5.0f, 5.0f), "");  // a corner of the window: off the cloth
  app->mouseMove(5.0f, 5.0f);
  frame();
  EXPECT_EQ(app->hovered, -1);
}

// Runs the test body with the current directory in a fresh directory.
class ExplorerFilesTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous), 0); }
  ScratchDir scratch{"explorerFiles"};
  char previous[4096];
};

// The counts and the winding are the OBJ writer's, tested with it; here the
// names and that the file holds the cloth as drawn.
TEST_F(ExplorerFilesTest, ObjHoldsTheClothAndNamesNeverRepeat) {
  frames(300);
  app->keyDown(' ');
  testing::internal::CaptureStdout();
  app->keyDown('o');
  app->keyDown('o');
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "wrote drape-00300.obj\nwrote drape-00300-1.obj\n");
  std::ifstream in("drape-00300.obj");
  std::string line;
  for (int k = 0; k <= 1 + 1830; ++k) std::getline(in, line);  // "o cloth", then node 1830's v
  zeVec3f v;
  ASSERT_EQ(std::sscanf(line.c_str(), "v %f %f %f", &v.x, &v.y, &v.z), 3) << line;
  EXPECT_TRUE(sameBits(&v, &app->cloth().positions()[1830], 12));
}

TEST_F(ExplorerFilesTest, ShapeRecordReadsBackEqual) {
  frames(50);
  app->keyDown(' ');
  testing::internal::CaptureStdout();
  app->keyDown('w');
  app->keyDown('p');
  frame();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "wrote drape-00050.shape\nwrote drape-00050.png\n");

  zeShape back(false, false, false);
  FILE* f = std::fopen("drape-00050.shape", "rb");
  ASSERT_NE(f, nullptr);
  back.readFromFile(f);
  EXPECT_EQ(std::fgetc(f), EOF);
  std::fclose(f);
  const zeShape& mesh = *app->mesh;
  ASSERT_EQ(back.listLength, 3600);
  ASSERT_EQ(back.indexListLength, 7139);
  EXPECT_TRUE(sameBits(back.indexList, mesh.indexList, 7139 * 4));
  EXPECT_TRUE(back.enableVertexNormals && back.enableVertexColors);
  EXPECT_EQ(back.colorList[7].x, 0.86f);
  for (int n = 0; n < 3600; ++n)
    EXPECT_TRUE(sameBits(&back.vertexList[n], &app->cloth().positions()[n], 12));
  // The normals are the cloth's own, not those of the turned view: the same
  // as the mesh's after drawing it with no view at all.
  zeMeshShape plain(60, 60);
  for (int n = 0; n < 3600; ++n) plain.vertexList[n] = app->cloth().positions()[n];
  plain.draw();
  EXPECT_TRUE(sameBits(back.normalList, plain.normalList, 3600 * 12));
}

TEST_F(ExplorerFilesTest, FailedWritesReportOnStandardErrorLeaveNothingAndTheProgramGoesOn) {
  frames(2);
  app->keyDown(' ');
  // A directory that is gone: nothing can be created in it, not even by root.
  const std::string dir = scratch.path();
  ASSERT_EQ(rmdir(dir.c_str()), 0);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  app->keyDown('o');
  app->keyDown('w');
  app->keyDown('p');
  frame();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "could not write drape-00002.obj: No such file or directory\n"
            "could not write drape-00002.shape: No such file or directory\n"
            "could not write drape-00002.png: No such file or directory\n");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  app->keyDown(' ');
  frame();
  EXPECT_EQ(app->frame(), 3);
  EXPECT_TRUE(scratch.entries().empty()) << "files were left";
}

// With a stand-in ffmpeg (the recorder's own test checks what it is given):
// the overlay says recording, and recorded frames allocate nothing.
TEST_F(ExplorerFilesTest, RecordingShowsInTheOverlayAndAllocatesNothing) {
  const std::string bin = scratch.path() + "/bin";
  ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
  std::ofstream(bin + "/ffmpeg") << "#!/bin/sh\nfor out; do :; done\nexec /bin/cat > \"$out\"\n";
  ASSERT_EQ(chmod((bin + "/ffmpeg").c_str(), 0755), 0);
  const std::string path = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", bin.c_str(), 1);
  zeuWindowWidth = 65;
  zeuWindowHeight = 49;
  app->resize(0.0f, 0.0f, 65, 49);
  frames(5);
  app->keyDown('m');
  setenv("PATH", path.c_str(), 1);
  ASSERT_TRUE(app->recording());
  frames(3);
  EXPECT_EQ(std::string(app->overlay()).rfind("frame 8   0.0 fps   recording 0:00\n", 0), 0u)
      << app->overlay();
  const uint64_t before = alloccount::allocations();
  frames(20);
  EXPECT_EQ(alloccount::allocations() - before, 0u);
  testing::internal::CaptureStdout();
  app->keyDown('m');
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("wrote drape-00005.mp4: ", 0), 0u) << out;
  EXPECT_FALSE(app->recording());
  unlink((bin + "/ffmpeg").c_str());
  rmdir(bin.c_str());
}

TEST_F(ExplorerTest, RunningFramesAllocateNothing) {
  app->keyDown('n');  // the surface with the net, and a node under the pointer
  frames(3);
  app->mouseMove(960.0f, 540.0f);
  frames(3);
  const uint64_t before = alloccount::allocations();
  frames(200);
  EXPECT_EQ(alloccount::allocations() - before, 0u);
  EXPECT_GE(app->hovered, 0);
}

}  // namespace
