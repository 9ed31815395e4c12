// The program under test, run as a desktop runs it: its own Xvfb screen of
// 1920 x 1080 with a window manager, driven by keys from outside.
// E2E_PROGRAM names the executable; E2E_CORNER_MARKS is set for the probe,
// which marks the window corners so the screenshots can be checked.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "testkit/xSession.h"

namespace {

using xsession::Geometry;

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;
constexpr double kStartTimeout = 30.0;  // generous: sanitizer builds start slowly

std::string describe(const std::optional<Geometry>& g) {
  if (!g) return "no geometry";
  return "client " + std::to_string(g->width) + "x" + std::to_string(g->height) + " at (" +
         std::to_string(g->x) + ", " + std::to_string(g->y) + "), frame at (" +
         std::to_string(g->frameX) + ", " + std::to_string(g->frameY) + ")";
}

bool coversScreen(const Geometry& g) {
  return g.x == 0 && g.y == 0 && g.width == kScreenW && g.height == kScreenH && g.frameX == 0 &&
         g.frameY == 0;
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x.ok()) << x.error(); }

  // Launches the program and waits for its full-screen window.
  void start(const std::vector<std::string>& args = {}) {
    ASSERT_TRUE(x.launch(E2E_PROGRAM, args, {xsession::leakCheckOff()})) << E2E_PROGRAM;
    const auto found = x.findWindow("zeu", kStartTimeout);
    ASSERT_TRUE(found) << "no window titled \"zeu\"; stderr: " << x.programStderr();
    window = *found;
    const auto g = x.waitForGeometry(window, coversScreen, kStartTimeout);
    ASSERT_TRUE(g && coversScreen(*g)) << describe(g);
  }

  // Escape must end the process with status 0 within five seconds, silently.
  void escapeAndExpectCleanExit() {
    ASSERT_TRUE(x.sendKey(window, "Escape"));
    const auto sent = std::chrono::steady_clock::now();
    const auto status = x.waitExit(5.0);
    ASSERT_TRUE(status) << "still running 5 s after Escape";
    EXPECT_EQ(*status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(5));
    EXPECT_EQ(x.programStdout(), "");
    EXPECT_EQ(x.programStderr(), "");
  }

#ifdef E2E_CORNER_MARKS
  // Polls screenshots until the four corner marks of the client area show.
  void expectCornerMarks(const Geometry& g) {
    using Px = std::array<int, 3>;
    const int left = g.x, right = g.x + g.width - 1, top = g.y, bottom = g.y + g.height - 1;
    auto marked = [&](const xsession::Image& s) {
      return s.pixel(left, bottom) == Px{255, 0, 0} && s.pixel(right, bottom) == Px{0, 255, 0} &&
             s.pixel(left, top) == Px{0, 0, 255} && s.pixel(right, top) == Px{255, 255, 255} &&
             s.pixel(left + 9, bottom - 9) == Px{255, 0, 0} &&
             s.pixel(left + 10, bottom) == Px{0, 0, 0} && s.pixel(left, bottom - 10) == Px{0, 0, 0};
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::optional<xsession::Image> shot;
    do {
      shot = x.screenshot();
      if (shot && marked(*shot)) return;
    } while (std::chrono::steady_clock::now() < deadline);
    ADD_FAILURE() << "corner marks not where expected for " << describe(g);
  }
#endif

  xsession::XSession x;
  unsigned long window = 0;
};

TEST_F(EndToEnd, FullScreenF1ToggleAndEscape) {
  start();
#ifdef E2E_CORNER_MARKS
  expectCornerMarks(*x.geometry(window));
#endif

  // First F1: a window 70 x 90 pixels smaller than the screen, frame at (35, 55).
  ASSERT_TRUE(x.sendKey(window, "F1"));
  auto windowed = [](const Geometry& g) {
    return g.width == kScreenW - 70 && g.height == kScreenH - 90 && g.frameX == 35 &&
           g.frameY == 55;
  };
  auto g = x.waitForGeometry(window, windowed, 10.0);
  ASSERT_TRUE(g && windowed(*g)) << describe(g);
#ifdef E2E_CORNER_MARKS
  expectCornerMarks(*g);
#endif

  // Second F1: full screen again.
  ASSERT_TRUE(x.sendKey(window, "F1"));
  g = x.waitForGeometry(window, coversScreen, 10.0);
  ASSERT_TRUE(g && coversScreen(*g)) << describe(g);

  escapeAndExpectCleanExit();
}

TEST_F(EndToEnd, CommandLineArgumentsChangeNothing) {
  start({"-display", ":0", "-geometry", "10x10", "-iconic", "-gldebug", "anything"});
  escapeAndExpectCleanExit();
}

}  // namespace
