// Values at load time, before anything has run. This is its own program so
// that no other test has touched the process-wide state first.
#include <gtest/gtest.h>

#include "testkit/glRecorder.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

namespace {

TEST(LoadTime, NonZeroGlobalsHoldTheirLoadValues) {
  EXPECT_EQ(zeuDisplayMode, 18);
  EXPECT_EQ(aafullScreen, 1);
  EXPECT_EQ(zeuTimeStep, 1);
  EXPECT_EQ(zeuFontNormalize, 1);
  for (zeApp* a : apps) EXPECT_EQ(a, nullptr);
}

TEST(LoadTime, CountDownIdleWithoutShutdownDoesNothing) {
  for (int i = 0; i < 10; ++i) winddown_cb();  // still running
  SUCCEED();
}

TEST(LoadTime, FirstFrameAtZeroSizeUsesLoadTimeView) {
  glrec::reset();
  zeuScreenFov = 60.0f;
  zeuWindowClear = true;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  const auto perspective = glrec::callsNamed("gluPerspective");
  ASSERT_EQ(perspective.size(), 1u);
  EXPECT_EQ(perspective[0].args, (std::vector<double>{60.0, 1.3333334f, 10.0, 1000.0}));
  const auto lookAt = glrec::callsNamed("gluLookAt");
  ASSERT_EQ(lookAt.size(), 1u);
  EXPECT_EQ(lookAt[0].args,
            (std::vector<double>{320.0, 240.0, 100.0, 320.0, 240.0, 0.0, 0.0, 1.0, 0.0}));
  EXPECT_EQ(glrec::log({"glViewport"}), std::vector<std::string>{"glViewport(0, 0, 0, 0)"});
}

}  // namespace
