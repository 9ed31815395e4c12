// The integer parameter interface in both directions, for every code.
#include <cstdlib>

#include "tests/framework/frameworkTestSupport.h"

namespace {

using ::testing::ElementsAre;

struct Code {
  short code;
  bool settable;
  std::vector<int*> globals;
};

// Every good code with the globals it addresses, in array order.
const std::vector<Code>& goodCodes() {
  static const std::vector<Code> codes = {
      {10, true, {&zeuDebugLevel}},
      {22, false, {&zeuWindowWidth}},
      {23, false, {&zeuWindowHeight}},
      {24, true, {&zeuWindowWidth, &zeuWindowHeight}},
      {29, true, {&zeuScreenGrabQuality}},
      {31, true, {&zeuScreenGrabFormat}},
      {32, true, {&zeuScreenGrabX}},
      {33, true, {&zeuScreenGrabY}},
      {34, true, {&zeuScreenGrabWidth}},
      {35, true, {&zeuScreenGrabHeight}},
      {36, true, {&zeuScreenGrabX, &zeuScreenGrabY, &zeuScreenGrabWidth, &zeuScreenGrabHeight}},
      {42, true, {&zeuTimeStep}},
      {200, false, {&zeuVideoWidth}},
      {201, false, {&zeuVideoHeight}},
      {202, false, {&zeuVideoWidth, &zeuVideoHeight}},
      {203, true, {&zeuVideoArrayWidth}},
      {204, true, {&zeuVideoArrayHeight}},
      {205, true, {&zeuVideoArrayWidth, &zeuVideoArrayHeight}},
      {207, true, {&zeuVideoFPS}},
      {208, true, {&zeuVideoProxyCount}},
      {210, true, {&zeuVideoProxyRawWidth}},
      {211, true, {&zeuVideoProxyRawHeight}},
  };
  return codes;
}

// Gives every parameter global a distinct value so a mix-up shows.
void fillGlobals() {
  int v = 1000;
  for (const Code& c : goodCodes())
    for (int* g : c.globals) *g = ++v;
  zeuDebugLevel = 3;  // keeps the warnings visible
}

class Parameters : public ::testing::Test {
 protected:
  void SetUp() override {
    fwtest::resetFramework();
    fillGlobals();
  }
};

TEST_F(Parameters, EveryGoodCodeReadsItsGlobalsInOrder) {
  ASSERT_EQ(goodCodes().size(), 22u);
  for (const Code& c : goodCodes()) {
    int out[5] = {-7, -7, -7, -7, -7};
    ::testing::internal::CaptureStderr();
    zeuGetIntegerv(c.code, out);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << c.code;
    for (size_t i = 0; i < c.globals.size(); ++i) EXPECT_EQ(out[i], *c.globals[i]) << c.code;
    for (size_t i = c.globals.size(); i < 5; ++i) EXPECT_EQ(out[i], -7) << c.code;
    EXPECT_EQ(zeuGetInteger(c.code), *c.globals[0]) << c.code;
  }
}

TEST_F(Parameters, SettableCodesStoreNotSettableOnesWarn) {
  for (const Code& c : goodCodes()) {
    fillGlobals();
    std::vector<int> before;
    for (const Code& all : goodCodes())
      for (int* g : all.globals) before.push_back(*g);
    int in[4] = {-11, -12, -13, -14};
    if (c.code == ZEU_DEBUG_LEVEL) in[0] = 5;  // stays >= 2 so warnings stay visible

    ::testing::internal::CaptureStderr();
    zeuSetIntegerv(c.code, in);
    const std::string err = ::testing::internal::GetCapturedStderr();

    if (c.settable) {
      EXPECT_EQ(err, "") << c.code;
      for (size_t i = 0; i < c.globals.size(); ++i) EXPECT_EQ(*c.globals[i], in[i]) << c.code;
    } else {
      EXPECT_EQ(err, "Bad parameter passed to zeuSetIntegerv\n") << c.code;
      std::vector<int> after;
      for (const Code& all : goodCodes())
        for (int* g : all.globals) after.push_back(*g);
      EXPECT_EQ(after, before) << c.code;
    }
    EXPECT_THAT(in, ElementsAre(c.code == ZEU_DEBUG_LEVEL ? 5 : -11, -12, -13, -14));
  }
}

TEST_F(Parameters, BadCodesTouchNothingInEitherDirection) {
  int low16 = 0x10000 + ZEU_VIDEO_FPS;  // wraps to a good code
  for (int code : {0, 30, 206, 209, 300, -24, 0x10000 + 30}) {
    int out[4] = {-7, -7, -7, -7};
    ::testing::internal::CaptureStderr();
    zeuGetIntegerv(static_cast<short>(code), out);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Bad parameter passed to zeuGetIntegerv\n")
        << code;
    EXPECT_THAT(out, ElementsAre(-7, -7, -7, -7)) << code;

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(zeuGetInteger(static_cast<short>(code)), 0) << code;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Bad parameter passed to zeuGetIntegerv\n")
        << code;

    const int fps = zeuVideoFPS;
    ::testing::internal::CaptureStderr();
    zeuSetIntegerv(static_cast<short>(code), out);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Bad parameter passed to zeuSetIntegerv\n")
        << code;
    EXPECT_EQ(zeuVideoFPS, fps);
  }
  // Only the low 16 bits of a code count.
  EXPECT_EQ(zeuGetInteger(static_cast<short>(low16)), zeuVideoFPS);

  // Both warnings are of level 2: shown from debug level 2 on, not below.
  int v[4] = {};
  for (int level : {1, 2}) {
    zeuDebugLevel = level;
    ::testing::internal::CaptureStderr();
    zeuGetIntegerv(0, v);
    zeuSetIntegerv(0, v);
    EXPECT_EQ(
        ::testing::internal::GetCapturedStderr(),
        level < 2
            ? ""
            : "Bad parameter passed to zeuGetIntegerv\nBad parameter passed to zeuSetIntegerv\n");
  }
}

TEST_F(Parameters, MultiValueCodesShareGlobalsWithSingleOnes) {
  int rect[4] = {1, 2, 3, 4};
  zeuSetIntegerv(ZEU_SCREEN_GRAB_RECT, rect);
  EXPECT_EQ(zeuGetInteger(ZEU_SCREEN_GRAB_WIDTH), 3);
  int x = 40;
  zeuSetIntegerv(ZEU_SCREEN_GRAB_X, &x);
  int out[4];
  zeuGetIntegerv(ZEU_SCREEN_GRAB_RECT, out);
  EXPECT_THAT(out, ElementsAre(40, 2, 3, 4));

  // A code with several values gives its first through the one-value call,
  // and never writes past the single int.
  EXPECT_EQ(zeuGetInteger(ZEU_SCREEN_GRAB_RECT), 40);
  int size[2] = {33, 44};
  zeuSetIntegerv(ZEU_VIDEO_ARRAY_SIZE, size);
  EXPECT_EQ(zeuGetInteger(ZEU_VIDEO_ARRAY_SIZE), 33);
  EXPECT_EQ(zeuGetInteger(ZEU_VIDEO_ARRAY_HEIGHT), 44);
}

TEST_F(Parameters, WindowSizeSetReshapesAndReleasesGrabBlocks) {
  zeuScreenGrabBuffer = static_cast<unsigned char*>(std::malloc(16));
  zeuScreenGrabFlipper = static_cast<unsigned char*>(std::malloc(16));
  int size[2] = {-5, 300};  // stored without a range test
  zeuSetIntegerv(ZEU_WINDOW_SIZE, size);
  EXPECT_EQ(zeuWindowWidth, -5);
  EXPECT_EQ(zeuWindowHeight, 300);
  EXPECT_THAT(glrec::log(), ElementsAre("glutReshapeWindow(-5, 300)"));
  EXPECT_EQ(zeuScreenGrabBuffer, nullptr);
  EXPECT_EQ(zeuScreenGrabFlipper, nullptr);
  int out[2];
  zeuGetIntegerv(ZEU_WINDOW_SIZE, out);
  EXPECT_THAT(out, ElementsAre(-5, 300));

  // Other settable codes have no side effect.
  glrec::state().calls.clear();
  int fps = 30;
  zeuSetIntegerv(ZEU_VIDEO_FPS, &fps);
  EXPECT_TRUE(glrec::state().calls.empty());
}

}  // namespace
