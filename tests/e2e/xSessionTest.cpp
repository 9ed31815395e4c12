// The X session harness on its own: process control, output capture, timeouts
// and screenshots, on a bare server without a window manager.
#include <gtest/gtest.h>

#include <csignal>

#include "testkit/xSession.h"

namespace {

xsession::Options bare() {
  xsession::Options o;
  o.width = 320;
  o.height = 200;
  o.windowManager = false;
  return o;
}

TEST(XSession, CapturesOutputAndExitStatus) {
  xsession::XSession x(bare());
  ASSERT_TRUE(x.ok()) << x.error();
  EXPECT_EQ(x.display().substr(0, 1), ":");
  ASSERT_TRUE(x.launch("/bin/sh", {"-c", "echo \"$DISPLAY $HOME $ZE_X\"; echo err >&2; exit 3"},
                       {"ZE_X=1", "HOME=/nowhere", "DISPLAY=:999"}));
  EXPECT_EQ(x.waitExit(10.0), 3);
  EXPECT_FALSE(x.running());
  // Runs on this session's display, with the extra variables.
  EXPECT_EQ(x.programStdout(), x.display() + " /nowhere 1\n");
  EXPECT_EQ(x.programStderr(), "err\n");
  EXPECT_FALSE(x.launch("/nonexistent/program"));
}

TEST(XSession, TimesOutOnARunningProgramAndReportsSignals) {
  xsession::XSession x(bare());
  ASSERT_TRUE(x.ok()) << x.error();
  ASSERT_TRUE(x.launch("/bin/sh", {"-c", "kill -TERM $$; sleep 30"}));
  EXPECT_EQ(x.waitExit(10.0), 128 + SIGTERM);

  xsession::XSession y(bare());
  ASSERT_TRUE(y.ok()) << y.error();
  EXPECT_NE(x.display(), y.display());
  ASSERT_TRUE(y.launch("/bin/sleep", {"30"}));
  EXPECT_FALSE(y.waitExit(0.2).has_value());
  EXPECT_TRUE(y.running());
  // The destructor ends it.
}

TEST(XSession, WindowsAndScreenshots) {
  xsession::XSession x(bare());
  ASSERT_TRUE(x.ok()) << x.error();
  EXPECT_FALSE(x.findWindow("no such window", 0.3).has_value());
  EXPECT_FALSE(x.geometry(0x7fffffff).has_value());

  const auto shot = x.screenshot();
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->width, 320);
  EXPECT_EQ(shot->height, 200);
  EXPECT_EQ(shot->rgb.size(), 320u * 200u * 3u);
  EXPECT_EQ(shot->pixel(0, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(shot->pixel(320, 0), (std::array<int, 3>{-1, -1, -1}));
}

}  // namespace
