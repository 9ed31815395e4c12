// Every 16-bit code through the parameter interface, in both directions and
// at several debug levels: exactly the 22 known codes read, exactly the
// settable ones write and read back, every other code prints the one
// warning (when the level allows) and no global of the framework changes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "testkit/glRecorder.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

namespace {

// ---- Every global of the framework's interface, as raw bytes -------------

struct Global {
  const char* name;
  void* address;
  size_t size;
};

#define ZE_GLOBAL(g)                       \
  Global {                                 \
#g, static_cast < void*>(&g), sizeof g \
  }
const Global kGlobals[] = {
    ZE_GLOBAL(zeuDisplayMode),
    ZE_GLOBAL(zeuWindowWidth),
    ZE_GLOBAL(zeuWindowHeight),
    ZE_GLOBAL(frameDepth),
    ZE_GLOBAL(zeuResourceLocation),
    ZE_GLOBAL(zeuWindowClear),
    ZE_GLOBAL(zeuWindowBgColor),
    ZE_GLOBAL(zeuScreenFov),
    ZE_GLOBAL(zeuScreenNear),
    ZE_GLOBAL(zeuScreenFar),
    ZE_GLOBAL(zeuDebugLevel),
    ZE_GLOBAL(zeuDebugStr),
    ZE_GLOBAL(aafullScreen),
    ZE_GLOBAL(aahaveShrunk),
    ZE_GLOBAL(aafullWidth),
    ZE_GLOBAL(aafullHeight),
    ZE_GLOBAL(aaWinX),
    ZE_GLOBAL(aaWinY),
    ZE_GLOBAL(aaWinW),
    ZE_GLOBAL(aaWinH),
    ZE_GLOBAL(aaValidWindowSize),
    ZE_GLOBAL(aaLastMouseButton),
    ZE_GLOBAL(aaGrabCount),
    ZE_GLOBAL(apps),
    ZE_GLOBAL(zeuTimeStep),
    ZE_GLOBAL(zeuVideoOpened),
    ZE_GLOBAL(zeuVideoMirrorImage),
    ZE_GLOBAL(zeuVideoProxyCount),
    ZE_GLOBAL(zeuVideoProxyRepeating),
    ZE_GLOBAL(zeuVideoProxyRawWidth),
    ZE_GLOBAL(zeuVideoProxyRawHeight),
    ZE_GLOBAL(zeuVideoFPS),
    ZE_GLOBAL(zeuVideoWidth),
    ZE_GLOBAL(zeuVideoHeight),
    ZE_GLOBAL(zeuVideoArrayWidth),
    ZE_GLOBAL(zeuVideoArrayHeight),
    ZE_GLOBAL(zeuTesselator),
    ZE_GLOBAL(zeuScreenGrabQuality),
    ZE_GLOBAL(zeuScreenGrabBuffer),
    ZE_GLOBAL(zeuScreenGrabFlip),
    ZE_GLOBAL(zeuScreenGrabFlipper),
    ZE_GLOBAL(zeuScreenGrabFormat),
    ZE_GLOBAL(zeuScreenGrabX),
    ZE_GLOBAL(zeuScreenGrabY),
    ZE_GLOBAL(zeuScreenGrabWidth),
    ZE_GLOBAL(zeuScreenGrabHeight),
    ZE_GLOBAL(zeuTextInited),
    ZE_GLOBAL(zeutFontList),
    ZE_GLOBAL(zeutFontNames),
    ZE_GLOBAL(zeutCurrentFont),
    ZE_GLOBAL(zeuFontNormalize),
};
#undef ZE_GLOBAL

// All globals back to back, in table order.
using Snapshot = std::vector<unsigned char>;

Snapshot snapshot() {
  Snapshot s;
  s.reserve(8192);
  for (const Global& g : kGlobals) {
    const auto* p = static_cast<const unsigned char*>(g.address);
    s.insert(s.end(), p, p + g.size);
  }
  return s;
}

void restore(const Snapshot& s) {
  size_t at = 0;
  for (const Global& g : kGlobals) {
    std::memcpy(g.address, s.data() + at, g.size);
    at += g.size;
  }
}

// Names of the globals that differ between two snapshots.
std::set<std::string> changed(const Snapshot& a, const Snapshot& b) {
  std::set<std::string> out;
  if (a == b) return out;
  size_t at = 0;
  for (const Global& g : kGlobals) {
    if (std::memcmp(a.data() + at, b.data() + at, g.size) != 0) out.insert(g.name);
    at += g.size;
  }
  return out;
}

// ---- The codes ---------------------------------------------------------------

struct Code {
  short code;
  bool settable;
  std::vector<int*> globals;
  std::vector<std::string> names;
};

const std::vector<Code>& codes() {
  static const std::vector<Code> table = {
      {ZEU_DEBUG_LEVEL, true, {&zeuDebugLevel}, {"zeuDebugLevel"}},
      {ZEU_WINDOW_WIDTH, false, {&zeuWindowWidth}, {"zeuWindowWidth"}},
      {ZEU_WINDOW_HEIGHT, false, {&zeuWindowHeight}, {"zeuWindowHeight"}},
      {ZEU_WINDOW_SIZE,
       true,
       {&zeuWindowWidth, &zeuWindowHeight},
       {"zeuWindowWidth", "zeuWindowHeight"}},
      {ZEU_SCREEN_GRAB_QUALITY, true, {&zeuScreenGrabQuality}, {"zeuScreenGrabQuality"}},
      {ZEU_SCREEN_GRAB_FORMAT, true, {&zeuScreenGrabFormat}, {"zeuScreenGrabFormat"}},
      {ZEU_SCREEN_GRAB_X, true, {&zeuScreenGrabX}, {"zeuScreenGrabX"}},
      {ZEU_SCREEN_GRAB_Y, true, {&zeuScreenGrabY}, {"zeuScreenGrabY"}},
      {ZEU_SCREEN_GRAB_WIDTH, true, {&zeuScreenGrabWidth}, {"zeuScreenGrabWidth"}},
      {ZEU_SCREEN_GRAB_HEIGHT, true, {&zeuScreenGrabHeight}, {"zeuScreenGrabHeight"}},
      {ZEU_SCREEN_GRAB_RECT,
       true,
       {&zeuScreenGrabX, &zeuScreenGrabY, &zeuScreenGrabWidth, &zeuScreenGrabHeight},
       {"zeuScreenGrabX", "zeuScreenGrabY", "zeuScreenGrabWidth", "zeuScreenGrabHeight"}},
      {ZEU_TIME_STEP, true, {&zeuTimeStep}, {"zeuTimeStep"}},
      {ZEU_VIDEO_WIDTH, false, {&zeuVideoWidth}, {"zeuVideoWidth"}},
      {ZEU_VIDEO_HEIGHT, false, {&zeuVideoHeight}, {"zeuVideoHeight"}},
      {ZEU_VIDEO_SIZE,
       false,
       {&zeuVideoWidth, &zeuVideoHeight},
       {"zeuVideoWidth", "zeuVideoHeight"}},
      {ZEU_VIDEO_ARRAY_WIDTH, true, {&zeuVideoArrayWidth}, {"zeuVideoArrayWidth"}},
      {ZEU_VIDEO_ARRAY_HEIGHT, true, {&zeuVideoArrayHeight}, {"zeuVideoArrayHeight"}},
      {ZEU_VIDEO_ARRAY_SIZE,
       true,
       {&zeuVideoArrayWidth, &zeuVideoArrayHeight},
       {"zeuVideoArrayWidth", "zeuVideoArrayHeight"}},
      {ZEU_VIDEO_FPS, true, {&zeuVideoFPS}, {"zeuVideoFPS"}},
      {ZEU_VIDEO_PROXY_COUNT, true, {&zeuVideoProxyCount}, {"zeuVideoProxyCount"}},
      {ZEU_VIDEO_PROXY_RAW_WIDTH, true, {&zeuVideoProxyRawWidth}, {"zeuVideoProxyRawWidth"}},
      {ZEU_VIDEO_PROXY_RAW_HEIGHT, true, {&zeuVideoProxyRawHeight}, {"zeuVideoProxyRawHeight"}},
  };
  return table;
}

const Code* find(int code) {
  for (const Code& c : codes())
    if (c.code == code) return &c;
  return nullptr;
}

// ---- Standard error into a file, read back piece by piece -------------------

class StderrTap {
 public:
  StderrTap() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    file_ = std::tmpfile();
    dup2(fileno(file_), STDERR_FILENO);
  }
  ~StderrTap() {
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    std::fclose(file_);
  }
  // What was written since the last call.
  std::string take() {
    std::fflush(stderr);
    const off_t end = lseek(fileno(file_), 0, SEEK_END);
    std::string out;
    if (end > read_) {
      out.resize(static_cast<size_t>(end - read_));
      if (pread(fileno(file_), out.data(), out.size(), read_) < 0) out = "<unreadable>";
      read_ = end;
    }
    return out;
  }

 private:
  int saved_;
  FILE* file_;
  off_t read_ = 0;
};

constexpr int kSentinel = 0x5A5A5A5A;

class ParameterSweep : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    glrec::reset();
    zeuOpen();  // once: it allocates a block that lives for the process
  }

  void SetUp() override {
    glrec::reset();
    // Distinct values everywhere, so a code reading or writing the wrong
    // global shows.
    int next = 1001;
    for (int* g : {&zeuWindowWidth,
                   &zeuWindowHeight,
                   &zeuScreenGrabQuality,
                   &zeuScreenGrabFormat,
                   &zeuScreenGrabX,
                   &zeuScreenGrabY,
                   &zeuScreenGrabWidth,
                   &zeuScreenGrabHeight,
                   &zeuTimeStep,
                   &zeuVideoWidth,
                   &zeuVideoHeight,
                   &zeuVideoArrayWidth,
                   &zeuVideoArrayHeight,
                   &zeuVideoFPS,
                   &zeuVideoProxyCount,
                   &zeuVideoProxyRawWidth,
                   &zeuVideoProxyRawHeight,
                   &aaWinW,
                   &aaWinH,
                   &zeuFontNormalize})
      *g = next++;
    zeuScreenGrabBuffer = nullptr;
    zeuScreenGrabFlipper = nullptr;
  }

  void TearDown() override { zeuDebugLevel = 3; }

  static std::string expectedWarning(const char* text) {
    return zeuDebugLevel >= 2 ? std::string(text) + "\n" : std::string();
  }
};

TEST_F(ParameterSweep, GetReadsExactlyTheKnownCodesAndTouchesNothingElse) {
  StderrTap err;
  for (int level : {3, 1}) {
    zeuDebugLevel = level;
    int good = 0;
    for (int code = -32768; code <= 32767; ++code) {
      const Code* known = find(code);
      const Snapshot before = snapshot();
      int values[8];
      std::fill(std::begin(values), std::end(values), kSentinel);
      zeuGetIntegerv(static_cast<short>(code), values);
      const std::string printed = err.take();
      const int first = zeuGetInteger(static_cast<short>(code));
      const std::string printedAgain = err.take();
      ASSERT_EQ(changed(before, snapshot()), std::set<std::string>()) << "code " << code;
      ASSERT_EQ(glrec::state().calls.size(), 0u) << "code " << code;

      if (known == nullptr) {
        ASSERT_EQ(printed, expectedWarning("Bad parameter passed to zeuGetIntegerv"))
            << "code " << code;
        ASSERT_EQ(printedAgain, printed) << "code " << code;
        for (int v : values) ASSERT_EQ(v, kSentinel) << "bad code " << code << " wrote a value";
        ASSERT_EQ(first, 0) << "code " << code;
        continue;
      }
      ++good;
      ASSERT_EQ(printed, "") << "code " << code;
      ASSERT_EQ(printedAgain, "") << "code " << code;
      const size_t n = known->globals.size();
      for (size_t i = 0; i < 8; ++i)
        ASSERT_EQ(values[i], i < n ? *known->globals[i] : kSentinel)
            << "code " << code << ", " << i;
      ASSERT_EQ(first, *known->globals[0]) << "code " << code;
    }
    EXPECT_EQ(good, 22) << "at debug level " << level;
  }
}

TEST_F(ParameterSweep, SetWritesExactlyTheSettableCodesAndTouchesNothingElse) {
  StderrTap err;
  for (int level : {2, 0}) {
    int settable = 0;
    for (int code = -32768; code <= 32767; ++code) {
      zeuDebugLevel = level;
      const Code* known = find(code);
      const bool windowSize = code == ZEU_WINDOW_SIZE;
      if (windowSize) {
        // Blocks the window-size set must release (and LeakSanitizer would
        // report if it did not).
        zeuScreenGrabBuffer = static_cast<unsigned char*>(std::malloc(16));
        zeuScreenGrabFlipper = static_cast<unsigned char*>(std::malloc(16));
      }
      glrec::state().calls.clear();
      const Snapshot before = snapshot();
      int values[8] = {7001 + code, 7002 + code, 7003 + code, 7004 + code,
                       kSentinel,   kSentinel,   kSentinel,   kSentinel};
      const int given[8] = {values[0], values[1], values[2], values[3],
                            kSentinel, kSentinel, kSentinel, kSentinel};
      zeuSetIntegerv(static_cast<short>(code), values);
      const std::string printed = err.take();
      ASSERT_EQ(0, std::memcmp(values, given, sizeof values)) << "code " << code << " wrote values";

      if (known == nullptr || !known->settable) {
        ASSERT_EQ(printed, expectedWarning("Bad parameter passed to zeuSetIntegerv"))
            << "code " << code;
        ASSERT_EQ(changed(before, snapshot()), std::set<std::string>()) << "code " << code;
        ASSERT_EQ(glrec::state().calls.size(), 0u) << "code " << code;
        continue;
      }
      ++settable;
      // The warning text depends on the level just set; none is due here.
      ASSERT_EQ(printed, "") << "code " << code;
      std::set<std::string> expected(known->names.begin(), known->names.end());
      if (windowSize) {
        expected.insert({"zeuScreenGrabBuffer", "zeuScreenGrabFlipper"});
        ASSERT_EQ(zeuScreenGrabBuffer, nullptr);
        ASSERT_EQ(zeuScreenGrabFlipper, nullptr);
        ASSERT_EQ(glrec::log(),
                  std::vector<std::string>{"glutReshapeWindow(" + std::to_string(values[0]) + ", " +
                                           std::to_string(values[1]) + ")"});
      } else {
        ASSERT_EQ(glrec::state().calls.size(), 0u) << "code " << code;
      }
      ASSERT_EQ(changed(before, snapshot()), expected) << "code " << code;

      // Read back through the same code.
      int back[8];
      std::fill(std::begin(back), std::end(back), kSentinel);
      zeuGetIntegerv(static_cast<short>(code), back);
      for (size_t i = 0; i < 8; ++i)
        ASSERT_EQ(back[i], i < known->globals.size() ? values[i] : kSentinel)
            << "code " << code << ", " << i;
      ASSERT_EQ(err.take(), "") << "code " << code;

      restore(before);
      if (windowSize) zeuScreenGrabBuffer = zeuScreenGrabFlipper = nullptr;  // released above
    }
    EXPECT_EQ(settable, 17) << "at debug level " << level;
  }
}

}  // namespace
