// The explorer against the recording stand-in: its cloth is drape's to the
// bit, pause, step and restart, the camera, picking and click reports, and
// the files it writes.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/allocCounter.h"
#include "explorer/drapeExplorerApp.h"
#include "tests/support/glRecorder.h"
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

// Node by node, field by field: the padding after on_surf is not state.
bool sameNodes(const clothknob* a, const clothknob* b) {
  for (int n = 0; n < 3600; ++n)
    if (!sameBits(&a[n].pos, &b[n].pos, 12) || !sameBits(&a[n].vel, &b[n].vel, 12) ||
        a[n].on_surf != b[n].on_surf)
      return false;
  return true;
}

// Every field of the cloth, bit for bit (the mesh pointer aside).
// With counters false the loop counters i and h are left out: drape's net
// sets them, and the explorer draws the net only in two of its looks.
::testing::AssertionResult sameCloth(const drapeApp& a, const drapeApp& b, bool counters = true) {
  const std::pair<const char*, bool> fields[] = {
      {"thread", sameNodes(a.thread, b.thread)},
      {"k1", sameBits(a.k1, b.k1, sizeof a.k1)},
      {"k2", sameBits(a.k2, b.k2, sizeof a.k2)},
      {"k3", sameBits(a.k3, b.k3, sizeof a.k3)},
      {"k4", sameBits(a.k4, b.k4, sizeof a.k4)},
      {"del", sameBits(&a.del1, &b.del1, sizeof a.del1) && sameBits(&a.del2, &b.del2, 12) &&
                  sameBits(&a.del3, &b.del3, 12) && sameBits(&a.del4, &b.del4, 12)},
      {"force/zero/enviro", sameBits(&a.force, &b.force, 12) && sameBits(&a.zero, &b.zero, 12) &&
                                sameBits(&a.enviro, &b.enviro, 12)},
      {"dist",
       a.dist1 == b.dist1 && a.dist2 == b.dist2 && a.dist3 == b.dist3 && a.dist4 == b.dist4},
      {"scalars", sameBits(&a.fx, &b.fx, 4) && sameBits(&a.fy, &b.fy, 4) &&
                      sameBits(&a.j, &b.j, 4) && a.m == b.m && a.n == b.n},
      {"counters", !counters || (a.i == b.i && a.h == b.h)},
  };
  for (const auto& f : fields)
    if (!f.second) return ::testing::AssertionFailure() << f.first << " differ";
  return ::testing::AssertionSuccess();
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
  // One redisplay as the framework makes it.
  void frame() {
    zeuOpenToloFrame();
    app->draw();
    zeuCloseToloFrame();
  }
  void frames(int n) {
    for (int k = 0; k < n; ++k) frame();
  }
  static Cloth drape(int frames) {
    Cloth c(static_cast<drapeApp*>(new drapeApp()));
    for (int k = 0; k < frames; ++k) {
      zeuOpenToloFrame();
      c->draw();
      zeuCloseToloFrame();
    }
    return c;
  }
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
    zeuOpenToloFrame();
    reference->draw();
    zeuCloseToloFrame();
    ASSERT_TRUE(sameNodes(app->thread, reference->thread)) << "frame " << k;
    ASSERT_EQ(app->j, reference->j);
  }
  EXPECT_EQ(app->frame(), 450);
  EXPECT_GT(app->thread[1830].pos.z, 4.0f);
  EXPECT_TRUE(app->thread[1830].on_surf) << "the cloth should have reached the terrain";
}

TEST_F(ExplorerTest, PauseHoldsClothAndTurnStepAdvancesOneFrameRestartIsANewCloth) {
  frames(20);
  app->keyDown(' ');
  const float turn = app->camera.turn;
  frames(5);
  EXPECT_EQ(app->frame(), 20);
  EXPECT_EQ(app->camera.turn, turn);
  EXPECT_TRUE(sameCloth(*app, *drape(20), false));
  EXPECT_NE(std::string(app->overlay()).find("paused"), std::string::npos);

  app->keyDown('.');
  frames(3);
  EXPECT_TRUE(sameCloth(*app, *drape(21), false));
  app->keyDown('.');
  app->keyDown('.');
  frames(3);
  EXPECT_EQ(app->frame(), 23);
  EXPECT_FLOAT_EQ(app->camera.turn, 23 * 0.25f);
  app->keyDown(' ');
  app->keyDown('.');  // running: no extra frame
  frames(2);
  EXPECT_EQ(app->frame(), 25);

  zeMeshShape* mesh = app->blanky;
  app->keyDown('r');
  const Cloth fresh(static_cast<drapeApp*>(new drapeApp()));
  EXPECT_TRUE(sameCloth(*app, *fresh));
  EXPECT_EQ(app->blanky, mesh);
  EXPECT_EQ(app->W, kW);
  EXPECT_EQ(app->H, kH);
  frames(40);
  EXPECT_TRUE(sameCloth(*app, *drape(40), false));
}

TEST_F(ExplorerTest, CameraFollowsTheWindowCentreDragsClampAndVRestores) {
  app->keyDown('n');
  app->keyDown('n');  // the net alone: the view is on OpenGL's modelview
  glrec::state().recording = true;
  frame();
  const std::vector<std::string> names = {"glTranslatef", "glRotatef", "glScalef"};
  EXPECT_EQ(glrec::log(names),
            (std::vector<std::string>{"glTranslatef(960, 540, 0)", "glRotatef(-35, 1, 0, 0)",
                                      "glRotatef(0, 0, 0, 1)", "glScalef(10, 10, 10)"}));
  // The mesh is drawn, without colour or depth, with the view on the software
  // stack and OpenGL's modelview at the identity, and before the net.
  EXPECT_EQ(glrec::count("glVertex3f"), 7139u - 59u + 13688u);

  app->keyDown('t');  // automatic turn off
  app->mouseDown(500.0f, 500.0f, GLUT_LEFT_BUTTON);
  app->mouseDrag(600.0f, -5000.0f);  // far down: straight from above, no further
  app->mouseUp(600.0f, -5000.0f, GLUT_LEFT_BUTTON);
  for (int k = 0; k < 40; ++k) app->mouseDown(10.0f, 10.0f, 4);  // zoom out to the limit
  app->resize(0.0f, 0.0f, 1000.0f, 800.0f);                      // out of full screen
  glrec::reset();
  frame();
  EXPECT_EQ(glrec::log(names),
            (std::vector<std::string>{"glTranslatef(500, 400, 0)", "glRotatef(0, 1, 0, 0)",
                                      "glRotatef(40.25, 0, 0, 1)", "glScalef(1.25, 1.25, 1.25)"}));
  frame();
  EXPECT_EQ(app->camera.turn, 40.25f) << "the automatic turn is off";

  app->keyDown('v');
  glrec::reset();
  frame();
  EXPECT_EQ(glrec::log(names),
            (std::vector<std::string>{"glTranslatef(500, 400, 0)", "glRotatef(-35, 1, 0, 0)",
                                      "glRotatef(0, 0, 0, 1)", "glScalef(10, 10, 10)"}));
  frame();
  EXPECT_EQ(app->camera.turn, 0.5f) << "the automatic turn is on again";
}

TEST_F(ExplorerTest, PointerMarksTheNearestNodeAndClicksPrintItOnlyOnTheCloth) {
  frames(3);
  app->keyDown(' ');
  frame();
  const int node = 1830;
  const zeVec3f at = app->blanky->screenVertexList[node];
  app->mouseMove(at.x + 1.0f, at.y - 1.0f);
  frame();
  EXPECT_EQ(app->hovered, node);
  EXPECT_NE(std::string(app->overlay()).find("node 1830 ("), std::string::npos) << app->overlay();

  const clothknob& k = app->thread[node];
  char expected[96];
  std::snprintf(expected, sizeof expected, "node 1830 (%.2f, %.2f, %.2f)\n", k.pos.x, k.pos.y,
                k.pos.z);
  EXPECT_EQ(clickAt(at.x + 1.0f, at.y - 1.0f), expected);
  app->thread[node].on_surf = true;
  std::snprintf(expected, sizeof expected, "node 1830 (%.2f, %.2f, %.2f) on terrain\n", k.pos.x,
                k.pos.y, k.pos.z);
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
    char pattern[] = "/tmp/explorerFiles.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    previous = here;
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous.c_str()), 0);
    std::system(("rm -rf " + dir).c_str());
  }
  std::string dir, previous;
};

struct Obj {
  std::vector<zeVec3f> v, vn;
  std::vector<std::vector<int>> f;
};

Obj readObj(const std::string& path) {
  Obj obj;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    zeVec3f p;
    if (kind == "v" || kind == "vn") {
      s >> p.x >> p.y >> p.z;
      (kind == "v" ? obj.v : obj.vn).push_back(p);
    } else if (kind == "f") {
      std::vector<int> face;
      std::string corner;
      while (s >> corner) {
        const size_t slash = corner.find("//");
        const int a = std::atoi(corner.c_str());
        EXPECT_EQ(corner.substr(slash + 2), std::to_string(a)) << line;
        face.push_back(a - 1);
      }
      obj.f.push_back(face);
    }
  }
  return obj;
}

TEST_F(ExplorerFilesTest, ObjHasTheMeshConsistentlyWoundAndNamesNeverRepeat) {
  frames(300);
  app->keyDown(' ');
  testing::internal::CaptureStdout();
  app->keyDown('o');
  app->keyDown('o');
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "wrote drape-00300.obj\nwrote drape-00300-1.obj\n");
  const Obj obj = readObj("drape-00300.obj");
  ASSERT_EQ(obj.v.size(), 3600u);
  ASSERT_EQ(obj.vn.size(), 3600u);
  ASSERT_EQ(obj.f.size(), 6962u);
  EXPECT_EQ(obj.v[1830].z, app->thread[1830].pos.z);
  // Consistent winding: every edge inside the mesh is used once in each
  // direction, never twice in the same one.
  std::set<std::pair<int, int>> directed;
  for (const auto& face : obj.f) {
    ASSERT_EQ(face.size(), 3u);
    for (int e = 0; e < 3; ++e)
      EXPECT_TRUE(directed.insert({face[e], face[(e + 1) % 3]}).second) << "edge used twice";
  }
  // and every face turns counter-clockwise about the library's normals, so
  // OBJ readers see the same front as the vn lines.
  int along = 0;
  for (const auto& face : obj.f) {
    const zeVec3f a = obj.v[face[0]], b = obj.v[face[1]], c = obj.v[face[2]];
    zeVec3f ab = b - a, ac = c - a;
    const zeVec3f n = ab.cross(ac);
    const zeVec3f m = obj.vn[face[0]];
    along += n.x * m.x + n.y * m.y + n.z * m.z > 0.0f;
  }
  EXPECT_GT(along, 6962 * 95 / 100) << along << " of 6962";
}

TEST_F(ExplorerFilesTest, ShapeRecordReadsBackEqualAndPictureHasTheWindowSize) {
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
  const zeShape& mesh = *app->blanky;
  ASSERT_EQ(back.listLength, 3600);
  ASSERT_EQ(back.indexListLength, 7139);
  EXPECT_TRUE(sameBits(back.indexList, mesh.indexList, 7139 * 4));
  EXPECT_TRUE(back.enableVertexNormals && back.enableVertexColors);
  EXPECT_EQ(back.colorList[7].x, 0.86f);
  for (int n = 0; n < 3600; ++n)
    EXPECT_TRUE(sameBits(&back.vertexList[n], &app->thread[n].pos, 12));
  // The normals are the cloth's own, not those of the turned view: the same
  // as the mesh's after drawing it with no view at all.
  zeMeshShape plain(60, 60);
  for (int n = 0; n < 3600; ++n) plain.vertexList[n] = app->thread[n].pos;
  plain.draw();
  EXPECT_TRUE(sameBits(back.normalList, plain.normalList, 3600 * 12));

  std::ifstream png("drape-00050.png", std::ios::binary);
  char head[24];
  png.read(head, sizeof head);
  ASSERT_TRUE(png.good());
  EXPECT_EQ(std::string(head + 1, 3), "PNG");
  auto be32 = [&](int at) {
    return (static_cast<unsigned char>(head[at]) << 24) |
           (static_cast<unsigned char>(head[at + 1]) << 16) |
           (static_cast<unsigned char>(head[at + 2]) << 8) |
           static_cast<unsigned char>(head[at + 3]);
  };
  EXPECT_EQ(be32(16), kW);
  EXPECT_EQ(be32(20), kH);
}

TEST_F(ExplorerFilesTest, FailedWritesReportOnStandardErrorLeaveNothingAndTheProgramGoesOn) {
  frames(2);
  app->keyDown(' ');
  // A directory that is gone: nothing can be created in it, not even by root.
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
  EXPECT_EQ(system(("test -z \"$(ls -A " + dir + ")\"").c_str()), 0) << "files were left";
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
