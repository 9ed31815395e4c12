// The real drape for a long time on its own Xvfb screen with a window
// manager: its memory must not grow, it must print nothing, and Escape must
// still end it with status 0.
//
// Length: ZE_SOAK_FRAMES frames (default 50,000) or ZE_SOAK_SECONDS seconds
// (default 300), whichever comes first.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/robustness/runWatch.h"
#include "tests/support/xSession.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

TEST(Soak, MemoryStaysFlatAndEscapeStillEnds) {
  if (std::getenv("ZE_SOAK_OPT_IN") && !std::getenv("ZE_SOAK"))
    GTEST_SKIP() << "the full soak runs only with ZE_SOAK=1";
  const unsigned long targetFrames =
      static_cast<unsigned long>(runwatch::envSeconds("ZE_SOAK_FRAMES", 50000));
  const double targetSeconds = runwatch::envSeconds("ZE_SOAK_SECONDS", 300);
  constexpr unsigned long kBaselineFrame = 1000;

  char dir[] = "/tmp/ze-soak-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string countFile = std::string(dir) + "/frames";

  xsession::XSession x;
  ASSERT_TRUE(x.ok()) << x.error();
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(x.launch(DRAPE_PROGRAM, {}, runwatch::watchedEnvironment(countFile)));
  const auto window = x.findWindow("zeu", 30.0);
  ASSERT_TRUE(window) << "no window; stderr: " << x.programStderr();

  long baseline = -1;
  unsigned long baselineFrames = 0;
  double baselineAt = 0.0;
  runwatch::Frames last;
  std::string trace;  // "frame:KiB" every 10 s, to tell a trend from a step
  double nextSample = 0.0;
  while (since(start) < targetSeconds) {
    ASSERT_TRUE(x.running()) << "drape ended after " << last.count
                             << " frames; stderr: " << x.programStderr();
    if (auto f = runwatch::readFrames(countFile)) last = *f;
    if (baseline < 0 && last.count >= kBaselineFrame) {
      baseline = runwatch::residentKiB(last.pid);
      baselineFrames = last.count;
      baselineAt = since(start);
    }
    if (baseline >= 0 && since(start) >= nextSample) {
      trace +=
          " " + std::to_string(last.count) + ":" + std::to_string(runwatch::residentKiB(last.pid));
      nextSample = since(start) + 10.0;
    }
    if (last.count >= targetFrames) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const double elapsed = since(start);
  ASSERT_GE(baseline, 0) << "drape did not reach frame " << kBaselineFrame << " in "
                         << targetSeconds << " s (" << last.count << " frames)";
  const long final = runwatch::residentKiB(last.pid);
  ASSERT_GE(final, 0);

  const double fps = (last.count - baselineFrames) / (elapsed - baselineAt);
  std::printf(
      "soak: %lu frames in %.1f s (%.0f frames/s after the baseline); VmRSS %ld KiB at "
      "frame %lu, %ld KiB at frame %lu\n",
      last.count, elapsed, fps, baseline, baselineFrames, final, last.count);
  std::printf("soak: frame:VmRSS KiB samples%s\n", trace.c_str());
  RecordProperty("frames", std::to_string(last.count));
  RecordProperty("rssBaselineKiB", std::to_string(baseline));
  RecordProperty("rssFinalKiB", std::to_string(final));
  EXPECT_LT(final - baseline, 1024) << "resident memory grew by " << (final - baseline) << " KiB";

  ASSERT_TRUE(x.sendKey(*window, "Escape"));
  const auto status = x.waitExit(10.0);
  ASSERT_TRUE(status) << "still running 10 s after Escape";
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(x.programStdout(), "");
  EXPECT_EQ(x.programStderr(), "");

  std::remove(countFile.c_str());
  rmdir(dir);
}

}  // namespace
