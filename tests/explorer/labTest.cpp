// The cloth lab's hands against the recording stand-in: strokes that cross
// links, faces that go with their links (winding kept), grabbing a node
// paused and running, pins, cuts and tears reaching the files, and a panel
// that takes the events it wants and changes the cloth from the next frame.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/allocCounter.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/lab.h"
#include "tests/support/glRecorder.h"
#include "tests/support/scratchDir.h"
#include "zeu/zeu.h"

namespace {

constexpr int kW = 1920, kH = 1080;
using Triangle = std::array<int, 3>;

// The triangles of a strip mesh as OpenGL winds them, each rotated to start
// at its smallest vertex (the same face with the same winding compares equal).
std::set<Triangle> wound(const zeShape& s) {
  std::set<Triangle> out;
  int place = 0;
  for (int k = 0; k + 2 < s.indexListLength; ++k) {
    const int* e = s.indexList + k;
    if (e[0] < 0 || e[1] < 0 || e[2] < 0) {
      place = 0;
      continue;
    }
    Triangle t = place++ % 2 == 0 ? Triangle{e[0], e[1], e[2]} : Triangle{e[1], e[0], e[2]};
    std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
    out.insert(t);
  }
  return out;
}

bool hasEdge(const Triangle& t, int a, int b) {
  const bool hasA = std::count(t.begin(), t.end(), a) > 0,
             hasB = std::count(t.begin(), t.end(), b) > 0;
  return hasA && hasB;
}

TEST(LabGeometry, SegmentsCrossOnlyWhenTheyMeet) {
  struct Case {
    double a[4], b[4];
    bool cross;
  } cases[] = {
      {{0, 0, 10, 10}, {0, 10, 10, 0}, true},    // an X
      {{0, 0, 10, 0}, {5, 0, 5, 5}, true},       // an end on the other
      {{0, 0, 10, 0}, {0, 1, 10, 1}, false},     // parallel
      {{0, 0, 4, 0}, {5, 0, 9, 0}, false},       // in line, apart
      {{0, 0, 6, 0}, {5, 0, 9, 0}, true},        // in line, overlapping
      {{0, 0, 10, 10}, {4, 5, 20, 5}, true},     // crossing near an end
      {{0, 0, 10, 10}, {11, 0, 20, -5}, false},  // the lines would meet, the segments do not
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        explorer::segmentsCross(c.a[0], c.a[1], c.a[2], c.a[3], c.b[0], c.b[1], c.b[2], c.b[3]),
        c.cross)
        << c.a[0] << "," << c.a[1] << " " << c.a[2] << "," << c.a[3];
    EXPECT_EQ(
        explorer::segmentsCross(c.b[0], c.b[1], c.b[2], c.b[3], c.a[0], c.a[1], c.a[2], c.a[3]),
        c.cross);
  }
}

// Each case cuts some links of an 8 x 8 cloth: the faces left are the grid's
// less exactly those with a cut edge, wound as before; no cut gives the grid.
TEST(LabGeometry, FacesGoWithTheirLinksAndKeepTheirWinding) {
  struct Case {
    std::vector<int> right, up;
  } cases[] = {
      {{}, {}},
      {{9}, {}},                         // inside
      {{}, {9}},                         //
      {{0}, {7}},                        // on the border
      {{9, 18}, {10, 11}},               // next to each other
      {{8, 9, 10, 11, 12, 13, 14}, {}},  // a whole row
      {{}, {0, 8, 16, 24, 32, 40, 48}},  // a whole column
  };
  const zeMeshShape grid(8, 8);
  const std::set<Triangle> all = wound(grid);
  for (const Case& c : cases) {
    cloth::Cloth cl(cloth::Preset::drape, cloth::presetParams(cloth::Preset::drape, 8));
    std::vector<std::array<int, 2>> cut;
    for (int n : c.right) cl.cutRight(n), cut.push_back({n, n + 1});
    for (int n : c.up) cl.cutUp(n), cut.push_back({n, n + 8});
    zeMeshShape mesh(8, 8);
    explorer::buildFaces(cl, mesh);
    std::set<Triangle> expected;
    for (const Triangle& t : all)
      if (std::none_of(cut.begin(), cut.end(),
                       [&](const auto& l) { return hasEdge(t, l[0], l[1]); }))
        expected.insert(t);
    EXPECT_EQ(wound(mesh), expected) << c.right.size() << " right, " << c.up.size() << " up";
    EXPECT_EQ(mesh.hasGridStrips(), cut.empty());
  }
}

// A panel that wants what the test says and records what it gets.
struct FakePanel : explorer::Panel {
  bool mouse = false, keyboard = false;
  int events = 0, frames = 0;
  std::function<void(explorer::PanelState&)> edit;
  bool wantsMouse() const override { return mouse; }
  bool wantsKeyboard() const override { return keyboard; }
  void mouseButton(float, float, int, bool) override { ++events; }
  void mouseMotion(float, float) override { ++events; }
  void key(unsigned char) override { ++events; }
  void specialKey(int) override { ++events; }
  void frame(explorer::PanelState& s, int, int) override {
    ++frames;
    if (edit) edit(s);
  }
};

class LabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
    zeuScreenFov = 60.0f;
    zeuWindowClear = true;
    zeuWindowWidth = kW;
    zeuWindowHeight = kH;
    app.reset(new drapeExplorerApp());
    app->resize(0.0f, 0.0f, kW, kH);
    auto p = std::make_unique<FakePanel>();
    panel = p.get();
    app->setPanel(std::move(p));
  }
  void frames(int n) {
    for (int k = 0; k < n; ++k) {
      zeuOpenToloFrame();
      app->draw();
      zeuCloseToloFrame();
    }
  }
  std::vector<zeVec3f> positions() const {
    const auto& c = app->cloth();
    return std::vector<zeVec3f>(c.positions(), c.positions() + c.nodeCount());
  }
  zeVec3f screenOf(int n) const { return app->mesh->screenVertexList[n]; }
  // Settled and paused, the pointer over node 1830.
  int settle() {
    frames(300);
    app->keyDown(' ');
    frames(1);
    const zeVec3f at = screenOf(1830);
    return app->pick(at.x, at.y);
  }

  std::unique_ptr<drapeExplorerApp> app;
  FakePanel* panel = nullptr;
};

TEST_F(LabTest, PausedGrabMovesTheHeldNodeAloneToThePointerAndAClickStillPrints) {
  const int node = settle();
  ASSERT_GE(node, 0);
  ASSERT_TRUE(app->cloth().inContact(node));
  const zeVec3f at = screenOf(node);
  const std::vector<zeVec3f> before = positions();

  testing::internal::CaptureStdout();
  app->mouseDown(at.x, at.y, GLUT_LEFT_BUTTON);
  app->mouseDrag(at.x + 2.0f, at.y);  // within the click slop: nothing held yet
  EXPECT_EQ(app->held, -1);
  app->mouseDrag(at.x + 60.0f, at.y + 40.0f);
  frames(2);
  EXPECT_EQ(app->held, node);
  EXPECT_FALSE(app->cloth().inContact(node)) << "held off the terrain";
  EXPECT_NEAR(screenOf(node).x, at.x + 60.0f, 0.05f);
  EXPECT_NEAR(screenOf(node).y, at.y + 40.0f, 0.05f);
  const std::vector<zeVec3f> after = positions();
  for (int n = 0; n < app->cloth().nodeCount(); ++n)
    if (n != node) {
      ASSERT_EQ(std::memcmp(&before[n], &after[n], 12), 0) << "node " << n << " moved";
    }
  app->mouseUp(at.x + 60.0f, at.y + 40.0f, GLUT_LEFT_BUTTON);
  EXPECT_EQ(app->held, -1);
  EXPECT_FALSE(app->cloth().pinned(node)) << "free again";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a drag prints nothing";

  // A press and release in place is still a click, and moves nothing.
  const std::vector<zeVec3f> held = positions();
  testing::internal::CaptureStdout();
  const zeVec3f o = screenOf(1000);
  app->mouseDown(o.x, o.y, GLUT_LEFT_BUTTON);
  app->mouseUp(o.x + 1.0f, o.y, GLUT_LEFT_BUTTON);
  frames(1);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("node ", 0), 0u);
  EXPECT_EQ(std::memcmp(held.data(), positions().data(), held.size() * 12), 0);
}

// Nodes on the terrain stay there for good, so the sheet is taken while it
// falls: held up, it hangs from the held node while the rest falls on.
TEST_F(LabTest, RunningTheClothFollowsTheHeldNodeWhichStaysUnderThePointer) {
  frames(3);
  const zeVec3f at = screenOf(1830);
  const int node = app->pick(at.x, at.y);
  ASSERT_GE(node, 0);
  app->mouseDown(at.x, at.y, GLUT_LEFT_BUTTON);
  app->mouseDrag(at.x, at.y + 20.0f);
  frames(40);
  EXPECT_NEAR(screenOf(node).x, at.x, 0.05f);
  EXPECT_NEAR(screenOf(node).y, at.y + 20.0f, 0.05f);
  const zeVec3f& p = app->cloth().positions()[node];
  const float corner = app->cloth().positions()[0].z;
  EXPECT_LT(corner, p.z - 10.0f) << "the corner fell on";
  EXPECT_GT(app->cloth().positions()[node + 1].z, corner + 5.0f) << "the neighbour hangs from it";
  app->mouseUp(at.x, at.y + 20.0f, GLUT_LEFT_BUTTON);
}

TEST_F(LabTest, RightClickTogglesPinsThatHoldWhileRunningUUnpinsAndPinsAreMarked) {
  const int node = settle();
  const zeVec3f at = screenOf(node), other = screenOf(node + 5);
  testing::internal::CaptureStdout();
  app->mouseDown(at.x, at.y, GLUT_RIGHT_BUTTON);
  app->mouseUp(at.x, at.y, GLUT_RIGHT_BUTTON);
  app->mouseDown(other.x, other.y, GLUT_RIGHT_BUTTON);
  app->mouseDown(5.0f, 5.0f, GLUT_RIGHT_BUTTON);  // off the cloth: nothing
  const int second = app->pick(other.x, other.y);
  EXPECT_EQ(
      testing::internal::GetCapturedStdout(),
      "pinned node " + std::to_string(node) + "\npinned node " + std::to_string(second) + "\n");
  EXPECT_TRUE(app->cloth().pinned(node) && !app->cloth().inContact(node));

  glrec::state().recording = true;
  frames(1);
  size_t points = 0;
  for (const glrec::Call& c : glrec::state().calls) points += c.name == "glVertex3f";
  EXPECT_EQ(points, 2u) << "one mark per pin (the pointer is off the cloth)";
  glrec::state().recording = false;

  app->keyDown(' ');
  const zeVec3f pinnedAt = app->cloth().positions()[node];
  app->cloth().placeNode(node + 1, pinnedAt + zeVec3f(0, 0, 5));  // a jolt next to it
  frames(40);
  EXPECT_EQ(std::memcmp(&pinnedAt, &app->cloth().positions()[node], 12), 0);

  app->keyDown(' ');
  frames(1);
  testing::internal::CaptureStdout();
  const zeVec3f now = screenOf(node);
  app->mouseDown(now.x, now.y, GLUT_RIGHT_BUTTON);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "unpinned node " + std::to_string(node) + "\n");
  app->keyDown('u');
  for (int n = 0; n < app->cloth().nodeCount(); ++n) ASSERT_FALSE(app->cloth().pinned(n));
}

// Runs the body in a fresh current directory.
class LabFilesTest : public LabTest {
 protected:
  void SetUp() override {
    LabTest::SetUp();
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous), 0); }
  ScratchDir scratch{"labFiles"};
  char previous[4096];
};

TEST_F(LabFilesTest, CutLinksLeaveTheSurfaceTheObjAndTheShapeRecordUntilRestart) {
  settle();
  const zeVec3f a = screenOf(1825), b = screenOf(1835);
  const int cut = app->cutAlong(a.x, a.y + 3.0f, b.x, b.y + 3.0f);
  EXPECT_GE(cut, 10);
  EXPECT_EQ(app->cloth().cutLinks(), cut);
  EXPECT_EQ(app->cutAlong(a.x, a.y + 3.0f, b.x, b.y + 3.0f), 0) << "cut already";
  frames(1);
  const size_t faces = wound(*app->mesh).size();
  EXPECT_LT(faces, 6962u);
  EXPECT_GE(faces, 6962u - 2u * cut);

  testing::internal::CaptureStdout();
  app->keyDown('o');
  app->keyDown('w');
  testing::internal::GetCapturedStdout();
  std::ifstream obj("drape-00300.obj");
  std::string line;
  size_t f = 0;
  while (std::getline(obj, line)) f += line.rfind("f ", 0) == 0;
  EXPECT_EQ(f, faces);
  zeShape back(false, false, false);
  FILE* in = std::fopen("drape-00300.shape", "rb");
  ASSERT_NE(in, nullptr);
  back.readFromFile(in);
  std::fclose(in);
  EXPECT_EQ(wound(back), wound(*app->mesh));

  app->keyDown('r');
  frames(1);
  EXPECT_TRUE(app->mesh->hasGridStrips());
}

// Tearing on from the panel, then a node pulled far: links break by
// themselves and their faces go.
TEST_F(LabTest, PanelChangesApplyFromTheNextFrameAndTearingBreaksStretchedLinks) {
  panel->setVisible(true);
  panel->edit = [](explorer::PanelState& s) {
    s.params.tearing = true;
    s.params.tearStretch = 1.5f;
    s.params.size = 30;         // waits for a restart
    s.params.stiffness = 1e9f;  // out of range: refused with the rest
  };
  frames(1);
  EXPECT_FALSE(app->cloth().params().tearing) << "a bad value refuses the whole change";
  panel->edit = [](explorer::PanelState& s) {
    s.params.tearing = true;
    s.params.tearStretch = 1.5f;
    s.params.size = 30;
    s.threads = 3;
  };
  const int node = settle();
  EXPECT_EQ(panel->frames, 302);
  EXPECT_TRUE(app->cloth().params().tearing);
  EXPECT_EQ(app->cloth().size(), 60);
  EXPECT_EQ(app->cloth().threads(), 3);
  app->keyDown(' ');
  const zeVec3f at = screenOf(node);
  app->mouseDown(at.x, at.y, GLUT_LEFT_BUTTON);
  app->mouseDrag(at.x, at.y + 300.0f);
  frames(5);
  EXPECT_GT(app->cloth().cutLinks(), 0);
  EXPECT_LT(wound(*app->mesh).size(), 6962u);
  app->mouseUp(at.x, at.y + 300.0f, GLUT_LEFT_BUTTON);

  panel->edit = [](explorer::PanelState& s) { s.restart = true; };
  frames(1);
  EXPECT_EQ(app->cloth().size(), 30);
  EXPECT_EQ(app->mesh->listLength, 900);
  EXPECT_EQ(app->frame(), 0);
}

TEST_F(LabTest, AVisiblePanelTakesTheEventsItWantsAndTabShowsAndHidesIt) {
  frames(2);
  const zeVec3f at = screenOf(1830);
  app->mouseMove(at.x, at.y);
  EXPECT_EQ(panel->events, 0) << "hidden: it gets nothing";
  app->keyDown('\t');
  EXPECT_TRUE(panel->visible());
  panel->mouse = panel->keyboard = true;
  const std::vector<zeVec3f> before = positions();
  const float turn = app->camera.turn, tilt = app->camera.tilt;
  testing::internal::CaptureStdout();
  app->mouseDown(at.x, at.y, GLUT_LEFT_BUTTON);
  app->mouseDrag(at.x + 80.0f, at.y + 80.0f);
  app->mouseUp(at.x + 80.0f, at.y + 80.0f, GLUT_LEFT_BUTTON);
  app->mouseDown(100.0f, 100.0f, GLUT_LEFT_BUTTON);
  app->mouseDrag(300.0f, 300.0f);
  app->mouseUp(300.0f, 300.0f, GLUT_LEFT_BUTTON);
  app->mouseDown(at.x, at.y, GLUT_RIGHT_BUTTON);
  app->keyDown(' ');
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(panel->events, 8);
  EXPECT_FALSE(app->paused);
  EXPECT_EQ(app->held, -1);
  EXPECT_EQ(app->camera.turn, turn);
  EXPECT_EQ(app->camera.tilt, tilt);
  EXPECT_EQ(std::memcmp(before.data(), positions().data(), before.size() * 12), 0);
  EXPECT_FALSE(app->cloth().pinned(1830));

  // A drag begun beside the panel stays the cloth's when it crosses it.
  panel->mouse = panel->keyboard = false;
  app->mouseDown(at.x, at.y, GLUT_LEFT_BUTTON);
  app->mouseDrag(at.x, at.y + 50.0f);
  panel->mouse = true;
  app->mouseDrag(at.x, at.y + 60.0f);
  EXPECT_GE(app->held, 0);
  app->mouseUp(at.x, at.y + 60.0f, GLUT_LEFT_BUTTON);
  EXPECT_EQ(app->held, -1);
  panel->mouse = false;
  panel->keyboard = true;
  app->keyDown('\t');  // hides it even while it takes the keys
  EXPECT_FALSE(panel->visible());
  EXPECT_EQ(panel->events, 12) << "Tab is not the panel's";
  const int frames0 = panel->frames;
  frames(3);
  EXPECT_EQ(panel->frames, frames0) << "a hidden panel does not run";
}

TEST_F(LabTest, FramesWithPinsAHeldNodeAndTheHiddenPanelAllocateNothing) {
  const int node = settle();
  app->keyDown(' ');
  const zeVec3f at = screenOf(node), other = screenOf(node + 3);
  app->mouseDown(other.x, other.y, GLUT_RIGHT_BUTTON);
  app->mouseDown(at.x, at.y, GLUT_LEFT_BUTTON);
  app->mouseDrag(at.x + 30.0f, at.y + 30.0f);
  frames(3);
  const uint64_t before = alloccount::allocations();
  for (int k = 0; k < 100; ++k) {
    app->mouseDrag(at.x + 30.0f + k, at.y + 30.0f);
    frames(1);
  }
  EXPECT_EQ(alloccount::allocations() - before, 0u);
  EXPECT_EQ(app->held, node);
}

}  // namespace
