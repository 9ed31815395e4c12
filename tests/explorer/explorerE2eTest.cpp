// The explorer as a person uses it, on its own 1920 x 1080 Xvfb screen with
// a window manager, driven with xdotool: the surface is shaded, pause holds
// the picture and `.` moves it on, a drag turns it, clicks on the cloth print
// a node and clicks beside it print nothing, p, o and w write files other
// programs read, and a directory that cannot be written is reported while
// the program goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "testkit/scratchDir.h"
#include "testkit/xSession.h"

namespace {

constexpr int kW = 1920, kH = 1080;
constexpr int kOverlayBottom = 100;  // the overlay's text lies above this row

using Clock = std::chrono::steady_clock;

void pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Starts the explorer with the given working directory and waits for its
// full-screen window.
struct Explorer {
  xsession::XSession x;
  unsigned long window = 0;

  explicit Explorer(const std::string& directory) {
    if (!x.ok()) return;
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(directory.c_str()) != 0) return;
    const bool launched = x.launch(E2E_PROGRAM, {}, {xsession::leakCheckOff()});
    if (chdir(here) != 0 || !launched) return;
    const auto w = x.findWindow("zeu", 30.0);
    if (!w) return;
    const auto g = x.waitForGeometry(
        *w, [](const xsession::Geometry& g) { return g.width == kW && g.height == kH; }, 30.0);
    if (g && g->width == kW && g->height == kH) window = *w;
  }
  bool ok() const { return window != 0; }
  bool xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return x.run(args) == 0;
  }
  // Polls standard output until it holds `count` lines or the time is up.
  std::string waitForLines(size_t count, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    std::string out;
    do {
      out = x.programStdout();
      if (static_cast<size_t>(std::count(out.begin(), out.end(), '\n')) >= count) break;
      pause(0.1);
    } while (Clock::now() < end);
    return out;
  }
  int exitAfterEscape() {
    if (!x.sendKey(window, "Escape")) return -1;
    const auto status = x.waitExit(10.0);
    return status ? *status : -1;
  }
};

// Pixels below the overlay that differ between two pictures.
int changedBelowOverlay(const xsession::Image& a, const xsession::Image& b) {
  int changed = 0;
  for (int y = kOverlayBottom; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) changed += a.pixel(x, y) != b.pixel(x, y);
  return changed;
}

bool isCloth(const std::array<int, 3>& p) {
  return p[0] > 60 && p[0] > p[1] + 20 && p[1] > p[2];  // the warm cloth colour, lit or shaded
}

// The name in the first line "wrote <name>" of `out` that ends in ext, or "".
std::string wrote(const std::string& out, const std::string& ext) {
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("wrote ", 0) == 0 && line.size() > ext.size() &&
        line.compare(line.size() - ext.size(), ext.size(), ext) == 0)
      return line.substr(6);
  return "";
}

TEST(ExplorerEndToEnd, ShadedPausedSteppedDraggedClickedAndSaved) {
  ScratchDir scratch("explorerE2e");
  const std::string& dir = scratch.path();
  Explorer e(dir);
  ASSERT_TRUE(e.ok()) << e.x.error() << " stderr: " << e.x.programStderr();
  pause(4.0);  // the cloth falls onto the terrain

  // Shading: the cloth shows in many levels of brightness, not two.
  auto shot = e.x.screenshot();
  ASSERT_TRUE(shot);
  std::set<int> levels;
  int clothPixels = 0;
  for (int y = kOverlayBottom; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const auto p = shot->pixel(x, y);
      if (!isCloth(p)) continue;
      ++clothPixels;
      levels.insert((p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000);
    }
  EXPECT_GT(clothPixels, 100000);
  EXPECT_GT(levels.size(), 40u) << "grey levels of the cloth";

  // Paused, the picture holds (the overlay's frame rate aside) ...
  ASSERT_TRUE(e.x.sendKey(e.window, "space"));
  pause(0.7);
  const auto held1 = e.x.screenshot();
  pause(1.0);
  const auto held2 = e.x.screenshot();
  ASSERT_TRUE(held1 && held2);
  EXPECT_EQ(changedBelowOverlay(*held1, *held2), 0);
  // ... and `.` moves it on by one frame.
  ASSERT_TRUE(e.x.sendKey(e.window, "period"));
  pause(0.7);
  const auto stepped = e.x.screenshot();
  ASSERT_TRUE(stepped);
  EXPECT_GT(changedBelowOverlay(*held2, *stepped), 100);

  // A drag turns and tilts the view.
  ASSERT_TRUE(e.xdotool({"mousemove", "1500", "900", "mousedown", "1", "mousemove", "1550", "880",
                         "mousemove", "1650", "850", "mouseup", "1"}));
  pause(0.7);
  const auto dragged = e.x.screenshot();
  ASSERT_TRUE(dragged);
  EXPECT_GT(changedBelowOverlay(*stepped, *dragged), 10000);

  // A click on a lit pixel of the cloth prints its node; one on the black
  // background prints nothing.
  int cx = -1, cy = -1;
  for (int r = 0; r < 400 && cx < 0; r += 4)
    for (int dx = -r; dx <= r && cx < 0; dx += 4) {
      const int x = kW / 2 + dx, y = kH / 2 + r;
      if (isCloth(dragged->pixel(x, y)) && isCloth(dragged->pixel(x + 3, y + 3)) &&
          isCloth(dragged->pixel(x - 3, y - 3))) {
        cx = x;
        cy = y;
      }
    }
  ASSERT_GE(cx, 0) << "no cloth near the centre";
  ASSERT_TRUE(e.xdotool({"mousemove", std::to_string(cx), std::to_string(cy), "click", "1"}));
  // The line's exact form is pinned by the unit test.
  const std::string clicked = e.waitForLines(1, 5.0);
  float px, py, pz;
  EXPECT_EQ(std::sscanf(clicked.c_str(), "node %*d (%f, %f, %f)", &px, &py, &pz), 3) << clicked;
  const auto corner = dragged->pixel(kW - 5, kH - 5);
  ASSERT_EQ(corner, (std::array<int, 3>{0, 0, 0}));
  ASSERT_TRUE(
      e.xdotool({"mousemove", std::to_string(kW - 5), std::to_string(kH - 5), "click", "1"}));
  pause(1.0);
  EXPECT_EQ(e.x.programStdout(), clicked);

  // p, o and w write files that other readers accept.
  ASSERT_TRUE(e.x.sendKey(e.window, "p"));
  ASSERT_TRUE(e.x.sendKey(e.window, "o"));
  ASSERT_TRUE(e.x.sendKey(e.window, "w"));
  const std::string out = e.waitForLines(4, 10.0);
  const std::string png = dir + "/" + wrote(out, ".png");
  const std::string obj = dir + "/" + wrote(out, ".obj");
  const std::string shape = dir + "/" + wrote(out, ".shape");
  ASSERT_TRUE(png != dir + "/" && obj != dir + "/" && shape != dir + "/") << out;

  std::string size;
  EXPECT_EQ(e.x.run({"identify", "-format", "%w %h", png}, &size), 0);
  EXPECT_EQ(size, "1920 1080");
  std::ifstream objIn(obj);
  std::string line;
  int v = 0, vn = 0, f = 0, bad = 0;
  while (std::getline(objIn, line)) {
    if (line.rfind("v ", 0) == 0) {
      ++v;
    } else if (line.rfind("vn ", 0) == 0) {
      ++vn;
    } else if (line.rfind("f ", 0) == 0) {
      ++f;
      int a, an, b, bn, c, cn, used = 0;
      bad += std::sscanf(line.c_str(), "f %d//%d %d//%d %d//%d%n", &a, &an, &b, &bn, &c, &cn,
                         &used) != 6 ||
             used != static_cast<int>(line.size()) || a != an || b != bn || c != cn;
    }
  }
  EXPECT_EQ(v, 3600);
  EXPECT_EQ(vn, 3600);
  EXPECT_EQ(f, 6962);
  EXPECT_EQ(bad, 0);
  std::ifstream shapeIn(shape, std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<long>(shapeIn.tellg()), 172642L);

  EXPECT_EQ(e.exitAfterEscape(), 0);
  EXPECT_EQ(e.x.programStderr(), "");
}

// sysfs refuses new files even to root, which a mode of 555 would not.
TEST(ExplorerEndToEnd, UnwritableDirectoryIsReportedAndEscapeStillEnds) {
  Explorer e("/sys");
  ASSERT_TRUE(e.ok()) << e.x.error() << " stderr: " << e.x.programStderr();
  ASSERT_TRUE(e.x.sendKey(e.window, "p"));
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (e.x.programStderr().empty() && Clock::now() < end) pause(0.1);
  const std::string err = e.x.programStderr();
  EXPECT_TRUE(err.rfind("could not write drape-", 0) == 0 &&
              err.find(".png: ") != std::string::npos &&
              std::count(err.begin(), err.end(), '\n') == 1)
      << err;
  EXPECT_EQ(e.x.programStdout(), "");
  EXPECT_EQ(e.exitAfterEscape(), 0);
}

}  // namespace
