// The example application, built out of tree against the installed package,
// run as a user would: on its own 1920 x 1080 Xvfb screen with openbox it
// shows the lit mesh in the middle, reports a left click on the mesh (and
// not one beside it) on standard output, and Escape ends it with status 0.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "testkit/xSession.h"

namespace {

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;
constexpr double kStartTimeout = 30.0;
const std::string kReport = "hello: left click on the mesh at ";

// Pixels of the box [x0, x1) x [y0, y1) (screen, top-left origin) brighter
// than a dim ambient-only surface in some channel.
int litPixels(const xsession::Image& shot, int x0, int y0, int x1, int y1) {
  int lit = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const auto p = shot.pixel(x, y);
      if (p[0] > 100 || p[1] > 100 || p[2] > 100) ++lit;
    }
  return lit;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

bool click(xsession::XSession& x, int screenX, int screenY) {
  return x.run({"xdotool", "mousemove", "--sync", std::to_string(screenX), std::to_string(screenY),
                "click", "1"}) == 0;
}

TEST(InstalledHello, ShowsTheLitMeshReportsAClickOnItAndEscapeEnds) {
  xsession::XSession x;
  ASSERT_TRUE(x.ok()) << x.error();
  ASSERT_TRUE(x.launch(HELLO_PROGRAM, {}, {xsession::leakCheckOff()}));
  const auto window = x.findWindow("zeu", kStartTimeout);
  ASSERT_TRUE(window) << "no window titled \"zeu\"; stderr: " << x.programStderr();
  const auto g = x.waitForGeometry(
      *window,
      [](const xsession::Geometry& g) { return g.width == kScreenW && g.height == kScreenH; },
      kStartTimeout);
  ASSERT_TRUE(g && g->width == kScreenW && g->height == kScreenH);
  std::this_thread::sleep_for(std::chrono::seconds(1));

  const auto shot = x.screenshot();
  ASSERT_TRUE(shot);
  // The mesh spans some 280 x 150 pixels around the centre of the screen:
  // the middle 200 x 80 is all mesh, lit from the front; a corner is black.
  const int middle = litPixels(*shot, 860, 500, 1060, 580);
  EXPECT_GT(middle, 200 * 80 * 95 / 100) << "lit pixels in the middle: " << middle;
  EXPECT_EQ(litPixels(*shot, 0, 0, 300, 300), 0);

  ASSERT_TRUE(click(x, 300, 300));  // beside the mesh: no report
  ASSERT_TRUE(click(x, kScreenW / 2, kScreenH / 2));
  std::string out;
  for (int i = 0; i < 100 && count(out = x.programStdout(), kReport) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(count(out, kReport), 1u) << "standard output: " << out;
  // Mouse positions arrive with the origin at the bottom left.
  EXPECT_NE(out.find(kReport + "960, 539"), std::string::npos) << out;

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  EXPECT_EQ(x.waitExit(10.0), 0) << "stderr: " << x.programStderr();
}

}  // namespace
