// Every example, built out of tree against the installed package, run as a
// user would: on its own 800 x 600 Xvfb screen (no window manager, so the
// 800 x 600 windows fill it) in a scratch directory, it opens its window,
// draws something within a few frames, and Escape ends it with status 0.
// The keyboard example also shows the held keys and the frame timing in a
// real window: its square moves at 300 pixels a second while d is held.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testkit/scratchDir.h"
#include "testkit/xSession.h"

namespace {

constexpr double kStartTimeout = 30.0;

std::vector<std::string> exampleNames() {
  std::vector<std::string> names;
  std::istringstream list(ZE_EXAMPLES);  // "hello,primitives,..."
  for (std::string name; std::getline(list, name, ',');)
    if (!name.empty()) names.push_back(name);
  return names;
}

// Pixels brighter than a dim background in some channel.
int litPixels(const xsession::Image& shot) {
  int lit = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const auto p = shot.pixel(x, y);
      if (p[0] > 60 || p[1] > 60 || p[2] > 60) ++lit;
    }
  return lit;
}

xsession::Options screen() {
  xsession::Options options;
  options.width = 800;
  options.height = 600;
  options.windowManager = false;
  return options;
}

// Starts the example in `dir` and waits for its 800 x 600 window.
std::optional<unsigned long> start(xsession::XSession& x, const std::string& name,
                                   const ScratchDir& dir) {
  const std::string program = std::string(ZE_EXAMPLES_DIR) + "/" + name;
  if (!x.launch("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\"", dir.path(), program},
                {xsession::leakCheckOff()}))
    return std::nullopt;
  // hello keeps the framework's default title and full screen.
  const auto window = x.findWindow(name == "hello" ? "zeu" : name, kStartTimeout);
  if (!window) return std::nullopt;
  const auto g = x.waitForGeometry(
      *window, [](const xsession::Geometry& g) { return g.width == 800 && g.height == 600; },
      kStartTimeout);
  if (!g || g->width != 800 || g->height != 600) return std::nullopt;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // a few frames
  return window;
}

// Mean column of the keyboard example's green square; -1 when not seen.
double squareColumn(const xsession::Image& shot) {
  double sum = 0.0;
  long n = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      const auto p = shot.pixel(x, y);
      if (p[1] > 150 && p[0] < 120 && p[2] < 150) sum += x, ++n;
    }
  return n > 1000 ? sum / n : -1.0;
}

class Example : public ::testing::TestWithParam<std::string> {};

TEST_P(Example, DrawsAndEscapeEnds) {
  const std::string name = GetParam();
  xsession::XSession x(screen());
  ASSERT_TRUE(x.ok()) << x.error();
  ScratchDir dir("zeu-example");  // for what an example writes
  const auto window = start(x, name, dir);
  ASSERT_TRUE(window) << "no 800 x 600 window; stderr: " << x.programStderr();

  const auto shot = x.screenshot();
  ASSERT_TRUE(shot);
  // Text alone lights about a thousand pixels; every example's drawing, over 7000.
  EXPECT_GT(litPixels(*shot), 4000) << "stderr: " << x.programStderr();

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  EXPECT_EQ(x.waitExit(10.0), 0) << "stderr: " << x.programStderr();
}

TEST(KeyboardExample, TheSquareMovesWhileDIsHeldAtThreeHundredPixelsASecond) {
  xsession::XSession x(screen());
  ASSERT_TRUE(x.ok()) << x.error();
  ScratchDir dir("zeu-example");
  const auto window = start(x, "keyboard", dir);
  ASSERT_TRUE(window) << "no 800 x 600 window; stderr: " << x.programStderr();
  const std::string id = std::to_string(*window);
  auto shot = x.screenshot();
  ASSERT_TRUE(shot);
  const double before = squareColumn(*shot);
  ASSERT_NEAR(before, 400.0, 2.0);

  const auto pressed = std::chrono::steady_clock::now();
  ASSERT_EQ(x.run({"xdotool", "keydown", "--window", id, "d"}), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_EQ(x.run({"xdotool", "keyup", "--window", id, "d"}), 0);
  const double held =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  shot = x.screenshot();
  ASSERT_TRUE(shot);
  const double moved = squareColumn(*shot) - before;
  // Released: it stopped. The distance follows the time held, not the frames
  // drawn; the commands' own latency makes it a little less than the time.
  EXPECT_GT(moved, 300.0 * 0.6 * 0.7) << "held " << held << " s";
  EXPECT_LT(moved, 300.0 * held * 1.1) << "held " << held << " s";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  shot = x.screenshot();
  ASSERT_TRUE(shot);
  EXPECT_NEAR(squareColumn(*shot) - before, moved, 1.0) << "the square went on after the release";

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  EXPECT_EQ(x.waitExit(10.0), 0) << "stderr: " << x.programStderr();
}

INSTANTIATE_TEST_SUITE_P(Installed, Example, ::testing::ValuesIn(exampleNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
