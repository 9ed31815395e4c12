// The cloth lab as a person uses it, on a 1920 x 1080 Xvfb screen with a
// window manager, driven with xdotool: a grab while paused moves the held
// node and no other (shape records written before and after), a right click
// pins a node that stays while the cloth runs, a Ctrl-drag cuts links that
// the OBJ then lacks, and the panel shows on Tab and takes the mouse.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testkit/scratchDir.h"
#include "testkit/xSession.h"
#include "zeShape/zeShape.h"

namespace {

constexpr int kW = 1920, kH = 1080;
using Clock = std::chrono::steady_clock;

void pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool isCloth(const std::array<int, 3>& p) {
  return p[0] > 60 && p[0] > p[1] + 20 && p[1] > p[2];
}

struct Lab {
  xsession::XSession x;
  std::string dir;
  unsigned long window = 0;

  explicit Lab(const std::string& directory) : dir(directory) {
    char here[4096];
    if (!x.ok() || !getcwd(here, sizeof here) || chdir(directory.c_str()) != 0) return;
    const bool launched = x.launch(E2E_PROGRAM, {}, {xsession::leakCheckOff()});
    if (chdir(here) != 0 || !launched) return;
    const auto w = x.findWindow("zeu", 30.0);
    if (!w) return;
    const auto g = x.waitForGeometry(
        *w, [](const xsession::Geometry& g) { return g.width == kW && g.height == kH; }, 30.0);
    if (g && g->width == kW && g->height == kH) window = *w;
  }
  bool xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return x.run(args) == 0;
  }
  bool key(const std::string& k) { return x.sendKey(window, k); }
  // The standard output's lines after the first `skip`, once there are `count` of them.
  std::vector<std::string> linesAfter(size_t skip, size_t count, double seconds = 10.0) {
    std::vector<std::string> lines;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    do {
      lines.clear();
      std::istringstream in(x.programStdout());
      for (std::string l; std::getline(in, l);) lines.push_back(l);
      if (lines.size() >= skip + count) break;
      pause(0.1);
    } while (Clock::now() < end);
    return std::vector<std::string>(lines.begin() + std::min(skip, lines.size()), lines.end());
  }
  size_t lineCount() { return linesAfter(0, 0, 0).size(); }
  // Writes the shape record and reads back its vertices.
  std::vector<zeVec3f> shapeRecord() {
    const size_t before = lineCount();
    std::vector<zeVec3f> v;
    if (!key("w")) return v;
    const auto lines = linesAfter(before, 1);
    if (lines.empty() || lines[0].rfind("wrote ", 0) != 0) return v;
    FILE* f = std::fopen((dir + "/" + lines[0].substr(6)).c_str(), "rb");
    if (!f) return v;
    zeShape s(false, false, false);
    s.readFromFile(f);
    std::fclose(f);
    return std::vector<zeVec3f>(s.vertexList, s.vertexList + s.listLength);
  }
  // A pixel of the cloth near (x, y) with cloth around it, or x = -1.
  std::array<int, 2> clothNear(int x0, int y0) {
    const auto shot = x.screenshot();
    if (!shot) return {-1, -1};
    for (int r = 0; r < 400; r += 4)
      for (int dx = -r; dx <= r; dx += 4) {
        const int px = x0 + dx, py = y0 + r;
        if (isCloth(shot->pixel(px, py)) && isCloth(shot->pixel(px + 4, py + 4)) &&
            isCloth(shot->pixel(px - 4, py - 4)))
          return {px, py};
      }
    return {-1, -1};
  }
};

std::vector<int> differing(const std::vector<zeVec3f>& a, const std::vector<zeVec3f>& b) {
  std::vector<int> out;
  for (size_t n = 0; n < std::min(a.size(), b.size()); ++n)
    if (a[n].x != b[n].x || a[n].y != b[n].y || a[n].z != b[n].z) out.push_back(int(n));
  return out;
}

std::string str(int v) {
  return std::to_string(v);
}

TEST(LabEndToEnd, GrabPinAndCutTheCloth) {
  ScratchDir scratch("labE2e");
  Lab lab(scratch.path());
  ASSERT_NE(lab.window, 0u) << lab.x.error() << " stderr: " << lab.x.programStderr();
  pause(3.0);
  ASSERT_TRUE(lab.key("space"));
  pause(0.5);

  // Paused, a grab moves the held node and no other.
  const auto at = lab.clothNear(kW / 2, kH / 2);
  ASSERT_GE(at[0], 0) << "no cloth near the centre";
  const std::vector<zeVec3f> before = lab.shapeRecord();
  ASSERT_EQ(before.size(), 3600u);
  ASSERT_TRUE(lab.xdotool({"mousemove", str(at[0]), str(at[1]), "mousedown", "1", "sleep", "0.2",
                           "mousemove", str(at[0] + 10), str(at[1] - 10), "sleep", "0.2",
                           "mousemove", str(at[0] + 60), str(at[1] - 90)}));
  pause(0.5);
  const std::vector<zeVec3f> held = lab.shapeRecord();
  ASSERT_TRUE(lab.xdotool({"mouseup", "1"}));
  const std::vector<int> moved = differing(before, held);
  ASSERT_EQ(moved.size(), 1u) << "nodes moved by the grab";
  EXPECT_GT((held[moved[0]] - before[moved[0]]).length(), 3.0f) << "pulled some 100 pixels";

  // Back to the flat sheet, still paused: a right click pins a node, which
  // stays while the cloth falls.
  const size_t lines = lab.lineCount();
  ASSERT_TRUE(lab.key("r"));
  pause(0.5);
  const auto sheet = lab.clothNear(kW / 2, kH / 2 - 100);
  ASSERT_GE(sheet[0], 0);
  ASSERT_TRUE(lab.xdotool({"mousemove", str(sheet[0]), str(sheet[1]), "click", "3"}));
  const auto pinned = lab.linesAfter(lines, 1);
  int node = -1;
  ASSERT_FALSE(pinned.empty());
  ASSERT_EQ(std::sscanf(pinned[0].c_str(), "pinned node %d", &node), 1) << pinned[0];
  const std::vector<zeVec3f> top = lab.shapeRecord();
  ASSERT_TRUE(lab.key("space"));
  pause(1.5);
  const std::vector<zeVec3f> fallen = lab.shapeRecord();
  ASSERT_EQ(fallen.size(), 3600u);
  const std::vector<int> fell = differing(top, fallen);
  EXPECT_GT(fell.size(), 3000u);
  EXPECT_EQ(std::count(fell.begin(), fell.end(), node), 0) << "the pinned node moved";

  // A Ctrl-drag across the cloth cuts links; the OBJ written next lacks their faces.
  ASSERT_TRUE(lab.key("space"));
  pause(0.3);
  const auto mid = lab.clothNear(kW / 2, kH / 2);
  ASSERT_GE(mid[0], 0);
  const size_t cutLine = lab.lineCount();
  ASSERT_TRUE(lab.xdotool({"mousemove", str(mid[0] - 150), str(mid[1]), "keydown", "ctrl",
                           "mousedown", "1", "mousemove", str(mid[0]), str(mid[1] + 5), "mousemove",
                           str(mid[0] + 150), str(mid[1] + 10), "mouseup", "1", "keyup", "ctrl"}));
  const auto cut = lab.linesAfter(cutLine, 1);
  int links = 0;
  ASSERT_FALSE(cut.empty());
  ASSERT_EQ(std::sscanf(cut[0].c_str(), "cut %d links", &links), 1) << cut[0];
  EXPECT_GT(links, 10);
  ASSERT_TRUE(lab.key("o"));
  const auto wrote = lab.linesAfter(cutLine + 1, 1);
  ASSERT_FALSE(wrote.empty());
  std::ifstream obj(scratch.path() + "/" + wrote[0].substr(6));
  int faces = 0;
  for (std::string l; std::getline(obj, l);) faces += l.rfind("f ", 0) == 0;
  EXPECT_LT(faces, 6962);
  EXPECT_GT(faces, 6962 - 2 * links - 1);

  ASSERT_TRUE(lab.key("Escape"));
  EXPECT_EQ(lab.x.waitExit(10.0), 0);
  EXPECT_EQ(lab.x.programStderr(), "");
}

// Panel pixels: ImGui's dark window and blue title bar and widgets.
int panelPixels(const xsession::Image& shot, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const auto p = shot.pixel(x, y);
      n += p[2] > p[0] + 30 && p[2] > 60;
    }
  return n;
}

TEST(LabEndToEnd, TabShowsThePanelWhichTakesTheMouse) {
  ScratchDir scratch("labPanelE2e");
  Lab lab(scratch.path());
  ASSERT_NE(lab.window, 0u) << lab.x.error() << " stderr: " << lab.x.programStderr();
  pause(3.0);
  ASSERT_TRUE(lab.key("space"));
  const auto hidden = lab.x.screenshot();
  ASSERT_TRUE(hidden);
  EXPECT_EQ(panelPixels(*hidden, kW - 440, 0, kW, 400), 0) << "hidden at the start";
  ASSERT_TRUE(lab.key("Tab"));
  pause(0.5);
  const auto shown = lab.x.screenshot();
  ASSERT_TRUE(shown);
  EXPECT_GT(panelPixels(*shown, kW - 440, 0, kW, 400), 5000);

  // Its title bar dragged so that its line of figures lies over the cloth;
  // clicks there reach the panel only, and the same click with the panel
  // hidden names a node.
  const auto at = lab.clothNear(kW / 2, kH / 2);
  ASSERT_GE(at[0], 0);
  // ImGui reads the pointer once a frame: the drag takes a few.
  ASSERT_TRUE(lab.xdotool({"mousemove", str(kW - 300), "20", "mousedown", "1", "sleep", "0.3",
                           "mousemove", str(kW - 400), "100", "sleep", "0.3", "mousemove",
                           str(at[0] + 100), str(at[1] - 46), "sleep", "0.3", "mouseup", "1"}));
  pause(0.5);
  const auto moved = lab.x.screenshot();
  ASSERT_TRUE(moved);
  int cloth = 0;
  for (int y = at[1] - 5; y <= at[1] + 5; ++y)
    for (int x = at[0] - 5; x <= at[0] + 5; ++x) cloth += isCloth(moved->pixel(x, y));
  ASSERT_EQ(cloth, 0) << "the panel is not over the cloth";
  ASSERT_TRUE(lab.xdotool({"mousemove", str(at[0]), str(at[1]), "click", "1", "click", "3"}));
  pause(1.0);
  EXPECT_EQ(lab.x.programStdout(), "");
  ASSERT_TRUE(lab.key("Tab"));
  pause(0.5);
  ASSERT_TRUE(lab.xdotool({"mousemove", str(at[0] + 1), str(at[1]), "click", "1"}));
  const auto clicked = lab.linesAfter(0, 1);
  ASSERT_FALSE(clicked.empty());
  EXPECT_EQ(clicked[0].rfind("node ", 0), 0u) << clicked[0];

  ASSERT_TRUE(lab.key("Escape"));
  EXPECT_EQ(lab.x.waitExit(10.0), 0);
  EXPECT_EQ(lab.x.programStderr(), "");
}

}  // namespace
