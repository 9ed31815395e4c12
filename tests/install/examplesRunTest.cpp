// Every example, built out of tree against the installed package, run as a
// user would: on its own 800 x 600 Xvfb screen (no window manager, so the
// 800 x 600 windows fill it) in a scratch directory, it opens its window,
// draws something within a few frames, and Escape ends it with status 0.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/scratchDir.h"
#include "tests/support/xSession.h"

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

class Example : public ::testing::TestWithParam<std::string> {};

TEST_P(Example, DrawsAndEscapeEnds) {
  const std::string name = GetParam();
  xsession::Options options;
  options.width = 800;
  options.height = 600;
  options.windowManager = false;
  xsession::XSession x(options);
  ASSERT_TRUE(x.ok()) << x.error();
  ScratchDir dir("zeu-example");  // for what an example writes
  const std::string program = std::string(ZE_EXAMPLES_DIR) + "/" + name;
  ASSERT_TRUE(x.launch("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\"", dir.path(), program},
                       {xsession::leakCheckOff()}));
  // hello keeps the framework's default title and full screen.
  const auto window = x.findWindow(name == "hello" ? "zeu" : name, kStartTimeout);
  ASSERT_TRUE(window) << "no window; stderr: " << x.programStderr();
  const auto g = x.waitForGeometry(
      *window, [](const xsession::Geometry& g) { return g.width == 800 && g.height == 600; },
      kStartTimeout);
  ASSERT_TRUE(g && g->width == 800 && g->height == 600);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // a few frames

  const auto shot = x.screenshot();
  ASSERT_TRUE(shot);
  EXPECT_GT(litPixels(*shot), 2000) << "stderr: " << x.programStderr();

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  EXPECT_EQ(x.waitExit(10.0), 0) << "stderr: " << x.programStderr();
}

INSTANTIATE_TEST_SUITE_P(Installed, Example, ::testing::ValuesIn(exampleNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
