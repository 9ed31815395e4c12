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
#include "explorer/address.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/lab.h"
#include "testkit/glRecorder.h"
#include "testkit/scratchDir.h"
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
  EXPECT_TRUE(app->paused) << "the panel's frame keeps the pause";
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

// The lab page's address reads as the command line of the same meaning, and
// its refusals name the address's values, not the options.
TEST(LabAddress, ValuesReadAsTheirOptionsAndRefusalsNameTheValue) {
  struct Case {
    std::vector<std::string> values;
    const char* error;  // nullptr: accepted
    int size = 60;
    cloth::Preset preset = cloth::Preset::drape;
    long frames = -1;
    const char* scene = "";
  };
  const Case cases[] = {
      {{}, nullptr, 60, cloth::Preset::drape, -1, ""},
      {{"size=128", "preset=flag", "frames=300", "timers=1"},
       nullptr,
       128,
       cloth::Preset::flag,
       300,
       ""},
      {{"scene=saved/drape-00120.json", "frames=600"},
       nullptr,
       60,
       cloth::Preset::drape,
       600,
       "saved/drape-00120.json"},
      {{"frames=x"}, "frames: 'x' is not a whole number from 0 to 100000000"},
      {{"size"}, "size: '' is not a whole number from 8 to 512"},
      {{"scene=a.json", "size=90"}, "size: not with scene (the scene holds its size and preset)"},
      {{"threads=4"},
       "unknown address value 'threads' (size, preset, scene, frames, collider or a parameter of "
       "drapeExplorer --list-params)"},
  };
  for (const Case& c : cases) {
    explorer::Options options;
    std::string error;
    const bool ok = explorer::parseAddress(c.values, options, error);
    SCOPED_TRACE(c.values.empty() ? "(none)" : c.values[0]);
    if (c.error) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(error, c.error);
      continue;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(options.size, c.size);
    EXPECT_EQ(options.preset, c.preset);
    EXPECT_EQ(options.batch, c.frames);
    EXPECT_EQ(options.scene, c.scene);
    EXPECT_EQ(options.threads, 1);
  }
}
