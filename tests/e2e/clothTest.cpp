// The cloth program as a person sees it, on its own 1920 x 1080 Xvfb screen
// with a window manager: the white net appears where the view puts it, turns
// from one moment to the next, and Escape still ends the program cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "testkit/xSession.h"

namespace {

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;
constexpr double kStartTimeout = 30.0;

struct Point {
  double x, y;  // screen pixels, origin top-left
};

// Screen position of a cloth-space point with the turntable at angle 0: the
// model transform translate(800, 600, 0) * rotate(-35 about x) * scale(10),
// then the standard view, in which the plane z = 0 is the window one unit
// per pixel and the eye sits on the window's centre at the distance that
// gives a 60 degree vertical field of view.
Point project(double cx, double cy, double cz) {
  const double tilt = -35.0 * M_PI / 180.0;
  const double wx = 800.0 + 10.0 * cx;
  const double wy = 600.0 + 10.0 * (cy * std::cos(tilt) - cz * std::sin(tilt));
  const double wz = 10.0 * (cy * std::sin(tilt) + cz * std::cos(tilt));
  const double eye = 0.5 * kScreenH / std::tan(30.0 * M_PI / 180.0);
  const double k = eye / (eye - wz);
  const double winX = 0.5 * kScreenW + (wx - 0.5 * kScreenW) * k;
  const double winY = 0.5 * kScreenH + (wy - 0.5 * kScreenH) * k;
  return {winX, kScreenH - winY};
}

double cross(const Point& o, const Point& a, const Point& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Where the net can show at any turntable angle: the image of the cylinder
// about the cloth's vertical axis that holds every drawn node at every moment.
// Radius 47: the sheet's corners start 42.4 from the axis and nodes slide a
// few units while they drape. Heights 0 to 30: the sheet starts at 30, and a
// node resting on the terrain (never below 4) is drawn after the fall of its
// frame, less than 4 units under it. The image of a convex body is convex:
// the hull of the images of its two rim circles.
std::vector<Point> netRegion() {
  std::vector<Point> rim;
  for (int deg = 0; deg < 360; ++deg)
    for (double z : {0.0, 30.0}) {
      const double a = deg * M_PI / 180.0;
      rim.push_back(project(47.0 * std::cos(a), 47.0 * std::sin(a), z));
    }
  std::sort(rim.begin(), rim.end(),
            [](const Point& p, const Point& q) { return p.x < q.x || (p.x == q.x && p.y < q.y); });
  std::vector<Point> hull(2 * rim.size());
  size_t k = 0;
  for (size_t i = 0; i < rim.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], rim[i]) <= 0) --k;
    hull[k++] = rim[i];
  }
  for (size_t i = rim.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && cross(hull[k - 2], hull[k - 1], rim[i - 1]) <= 0) --k;
    hull[k++] = rim[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

// Inside the convex polygon or within `margin` pixels of it.
bool inside(const std::vector<Point>& hull, double x, double y, double margin) {
  for (size_t i = 0; i < hull.size(); ++i) {
    const Point& a = hull[i];
    const Point& b = hull[(i + 1) % hull.size()];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (cross(a, b, {x, y}) < -margin * len) return false;
  }
  return true;
}

struct NetCount {
  int white = 0;     // net pixels inside the region
  int strayLit = 0;  // anything not black outside it
  std::vector<bool> mask;
};

NetCount countNet(const xsession::Image& shot, const std::vector<Point>& hull) {
  NetCount c;
  c.mask.assign(static_cast<size_t>(shot.width) * shot.height, false);
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const auto p = shot.pixel(x, y);
      const bool lit = p[0] > 40 || p[1] > 40 || p[2] > 40;
      if (!lit) continue;
      if (!inside(hull, x + 0.5, y + 0.5, 3.0)) {
        ++c.strayLit;
      } else if (p[0] >= 200 && p[0] == p[1] && p[1] == p[2]) {
        ++c.white;
        c.mask[static_cast<size_t>(y) * shot.width + x] = true;
      }
    }
  return c;
}

TEST(ClothEndToEnd, NetShowsInItsRegionTurnsAndEscapeEnds) {
  xsession::XSession x;
  ASSERT_TRUE(x.ok()) << x.error();
  ASSERT_TRUE(x.launch(E2E_PROGRAM, {}, {xsession::leakCheckOff()}));
  const auto window = x.findWindow("zeu", kStartTimeout);
  ASSERT_TRUE(window) << "no window titled \"zeu\"; stderr: " << x.programStderr();
  const auto g = x.waitForGeometry(
      *window,
      [](const xsession::Geometry& g) { return g.width == kScreenW && g.height == kScreenH; },
      kStartTimeout);
  ASSERT_TRUE(g && g->x == 0 && g->y == 0 && g->width == kScreenW && g->height == kScreenH);

  const std::vector<Point> hull = netRegion();
  // Give the cloth time to fall and settle (a few hundred frames), then look
  // twice, far enough apart for the turntable to have moved it.
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const auto first = x.screenshot();
  ASSERT_TRUE(first);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const auto second = x.screenshot();
  ASSERT_TRUE(second);
  ASSERT_EQ(first->width, kScreenW);
  ASSERT_EQ(first->height, kScreenH);

  const NetCount a = countNet(*first, hull);
  const NetCount b = countNet(*second, hull);
  std::printf("net pixels %d then %d; lit outside the region %d and %d\n", a.white, b.white,
              a.strayLit, b.strayLit);
  EXPECT_GT(a.white, 5000);
  EXPECT_GT(b.white, 5000);
  EXPECT_EQ(a.strayLit, 0);
  EXPECT_EQ(b.strayLit, 0);
  int changed = 0;
  for (size_t p = 0; p < a.mask.size(); ++p) changed += a.mask[p] != b.mask[p];
  std::printf("net pixels changed between the two: %d\n", changed);
  EXPECT_GT(changed, std::min(a.white, b.white) / 10) << "the net did not turn";

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  const auto status = x.waitExit(5.0);
  ASSERT_TRUE(status) << "still running 5 s after Escape";
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(x.programStdout(), "");
  EXPECT_EQ(x.programStderr(), "");
}

}  // namespace
