// The real drape under valgrind's memcheck for ZE_VALGRIND_FRAMES frames
// (default 300) on a small Xvfb screen with a window manager, then Escape:
// no invalid read or write and no use of uninitialised values. The
// suppression file covers only the X libraries, GLUT and Mesa.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "testkit/xSession.h"
#include "tests/robustness/runWatch.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

std::string readAll(const std::string& path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(Valgrind, NoInvalidAccessOrUninitialisedUse) {
  if (system("valgrind --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "valgrind is not installed";
  const unsigned long frames =
      static_cast<unsigned long>(runwatch::envSeconds("ZE_VALGRIND_FRAMES", 300));
  const double timeout = runwatch::envSeconds("ZE_VALGRIND_TIMEOUT", 1200);

  char dir[] = "/tmp/ze-valgrind-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string countFile = std::string(dir) + "/frames";
  const std::string logFile = std::string(dir) + "/memcheck.log";

  xsession::Options small;
  small.width = 640;  // the renderer's work grows with the screen; memcheck's does too
  small.height = 480;
  xsession::XSession x(small);
  ASSERT_TRUE(x.ok()) << x.error();
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(
      x.launch("valgrind",
               {"--tool=memcheck", "--leak-check=no", "--track-origins=yes", "--num-callers=40",
                "--suppressions=" ZE_VALGRIND_SUPPRESSIONS, "--log-file=" + logFile, DRAPE_PROGRAM},
               runwatch::watchedEnvironment(countFile)));
  const auto window = x.findWindow("zeu", 300.0);
  ASSERT_TRUE(window) << "no window; valgrind log:\n" << readAll(logFile);

  runwatch::Frames last;
  while (last.count < frames) {
    ASSERT_LT(since(start), timeout) << "only " << last.count << " frames";
    ASSERT_TRUE(x.running()) << "ended early; valgrind log:\n" << readAll(logFile);
    if (auto f = runwatch::readFrames(countFile)) last = *f;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  const double toFrames = since(start);
  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  const auto status = x.waitExit(300.0);
  ASSERT_TRUE(status) << "still running after Escape";
  std::printf("valgrind: %lu frames in %.0f s, exit after %.0f s\n", last.count, toFrames,
              since(start));
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(x.programStdout(), "");

  const std::string log = readAll(logFile);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(log, m, std::regex("ERROR SUMMARY: ([0-9,]+) errors")))
      << "no summary in the valgrind log:\n"
      << log;
  RecordProperty("valgrindErrors", m[1].str());
  EXPECT_EQ(m[1].str(), "0") << log;
  EXPECT_EQ(log.find("Invalid read"), std::string::npos);
  EXPECT_EQ(log.find("Invalid write"), std::string::npos);
  EXPECT_EQ(log.find("uninitialised"), std::string::npos);

  std::remove(countFile.c_str());
  std::remove(logFile.c_str());
  rmdir(dir);
}

}  // namespace
