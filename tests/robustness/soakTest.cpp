// The real drape for a long time on its own Xvfb screen with a window
// manager: its memory must not grow, it must print nothing, and Escape must
// still end it with status 0.
//
// Length: ZE_SOAK_FRAMES frames (default 50,000) or ZE_SOAK_SECONDS seconds
// (default 300), whichever comes first. Growth allowed: ZE_SOAK_GROWTH_KIB
// (default 1024).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "testkit/xSession.h"
#include "tests/robustness/runWatch.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

// Resident size moves by several hundred KiB either way from one reading to
// the next (the X server's and the GL driver's buffers); a leak moves it for
// good. Readings once a second, compared as medians of a few seconds at each
// end, tell the two apart.
long median(std::vector<long> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
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

  constexpr double kWindowSeconds = 5.0;  // readings in each median
  long baseline = -1;
  unsigned long baselineFrames = 0;
  double baselineAt = 0.0;
  std::vector<long> first, recent;  // one reading a second
  runwatch::Frames last;
  std::string trace;  // "frame:KiB" every 10 s, to tell a trend from a step
  double nextTrace = 0.0, nextReading = 0.0;
  while (since(start) < targetSeconds) {
    ASSERT_TRUE(x.running()) << "drape ended after " << last.count
                             << " frames; stderr: " << x.programStderr();
    if (auto f = runwatch::readFrames(countFile)) last = *f;
    if (baseline < 0 && last.count >= kBaselineFrame) {
      baseline = runwatch::residentKiB(last.pid);
      baselineFrames = last.count;
      baselineAt = since(start);
    }
    if (baseline >= 0 && since(start) >= nextReading) {
      const long kib = runwatch::residentKiB(last.pid);
      if (since(start) - baselineAt < kWindowSeconds) first.push_back(kib);
      recent.push_back(kib);
      if (recent.size() > static_cast<size_t>(kWindowSeconds)) recent.erase(recent.begin());
      nextReading = since(start) + 1.0;
      if (since(start) >= nextTrace) {
        trace += " " + std::to_string(last.count) + ":" + std::to_string(kib);
        nextTrace = since(start) + 10.0;
      }
    }
    if (last.count >= targetFrames) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const double elapsed = since(start);
  ASSERT_GE(baseline, 0) << "drape did not reach frame " << kBaselineFrame << " in "
                         << targetSeconds << " s (" << last.count << " frames)";
  baseline = median(first);
  const long final = median(recent);
  ASSERT_GE(final, 0);

  const double fps = (last.count - baselineFrames) / (elapsed - baselineAt);
  std::printf(
      "soak: %lu frames in %.1f s (%.0f frames/s after the baseline); median VmRSS %ld KiB "
      "from frame %lu, %ld KiB up to frame %lu\n",
      last.count, elapsed, fps, baseline, baselineFrames, final, last.count);
  std::printf("soak: frame:VmRSS KiB samples%s\n", trace.c_str());
  RecordProperty("frames", std::to_string(last.count));
  RecordProperty("rssBaselineKiB", std::to_string(baseline));
  RecordProperty("rssFinalKiB", std::to_string(final));
  const long limit = static_cast<long>(runwatch::envSeconds("ZE_SOAK_GROWTH_KIB", 1024));
  EXPECT_LT(final - baseline, limit) << "resident memory grew by " << (final - baseline) << " KiB";

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
