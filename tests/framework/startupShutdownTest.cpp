// Start-up, diagnostics and the shut-down count-down.
#include "tests/framework/frameworkTestSupport.h"

namespace {

using fwtest::RecordingApp;
using ::testing::ElementsAre;
using ::testing::ExitedWithCode;

class StartupShutdown : public ::testing::Test {
 protected:
  void SetUp() override { fwtest::resetFramework(); }
};

TEST_F(StartupShutdown, OpenMakesTheCallsInOrderAndSetsDefaults) {
  zeuWindowWidth = 5;
  zeuWindowHeight = 6;
  frameDepth = 3;
  zeuDebugLevel = 0;
  zeuWindowClear = false;
  zeuWindowBgColor[1] = 0.5f;
  zeutCurrentFont = 7;
  zeutFontNames[49][0] = 'H';

  zeuOpen();

  EXPECT_THAT(glrec::log(), ElementsAre("glutInit(1, \"zeu\")", "glutInitDisplayMode(18)",
                                        "glutCreateWindow(\"zeu\")", "glutFullScreen()",
                                        ::testing::StartsWith("glutReshapeFunc("),
                                        "glEnable(" + std::to_string(GL_AUTO_NORMAL) + ")",
                                        "glEnable(" + std::to_string(GL_NORMALIZE) + ")",
                                        "glEnable(" + std::to_string(GL_BLEND) + ")",
                                        "glBlendFunc(" + std::to_string(GL_SRC_ALPHA) + ", " +
                                            std::to_string(GL_ONE_MINUS_SRC_ALPHA) + ")"));
  EXPECT_EQ(glrec::state().reshapeFunc, &reshape);

  EXPECT_EQ(zeuWindowWidth, 0);
  EXPECT_EQ(zeuWindowHeight, 0);
  EXPECT_EQ(frameDepth, 0);
  EXPECT_STREQ(zeuResourceLocation, "C:/zeWindow/");
  EXPECT_EQ(zeuDebugLevel, 3);
  EXPECT_NE(zeuDebugStr, nullptr);
  EXPECT_TRUE(zeuWindowClear);
  EXPECT_EQ(zeuWindowBgColor[0], 0.0f);
  EXPECT_EQ(zeuWindowBgColor[1], 0.0f);
  EXPECT_EQ(zeuWindowBgColor[2], 0.0f);
  EXPECT_EQ(zeuVideoProxyCount, -1);
  EXPECT_EQ(zeuVideoFPS, 15);
  EXPECT_TRUE(zeuTextInited);
  EXPECT_EQ(zeutCurrentFont, -1);
  EXPECT_EQ(zeutFontNames[49][0], '\0');
  EXPECT_EQ(zeuScreenNear, 1.5f);
  EXPECT_EQ(zeuScreenFar, 20.0f);
  EXPECT_EQ(zeuScreenFov, 60.0f);
  EXPECT_EQ(zeuScreenGrabQuality, 100);
  EXPECT_TRUE(zeuScreenGrabFlip);
  EXPECT_EQ(zeuScreenGrabFormat, 40);

  // The provisional reshape callback only stores the size.
  glrec::state().calls.clear();
  reshape(320, 200);
  EXPECT_EQ(zeuWindowWidth, 320);
  EXPECT_EQ(zeuWindowHeight, 200);
  EXPECT_TRUE(glrec::state().calls.empty());
}

TEST_F(StartupShutdown, DebugPrintsUpToTheThreshold) {
  ::testing::internal::CaptureStderr();
  zeuDebug(3, "three");
  zeuDebug(2, "two");
  zeuDebug(4, "four");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "three\ntwo\n");

  int one = 1;
  zeuSetIntegerv(ZEU_DEBUG_LEVEL, &one);
  ::testing::internal::CaptureStderr();
  zeuDebug(2, "warning");
  zeuGetIntegerv(300, &one);  // a bad code warns at level 2 too
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(StartupShutdown, LevelOneEndsTheProcessPrintedOrNot) {
  EXPECT_EXIT(zeuDebug(1, "fatal"), ExitedWithCode(255), "^fatal\n$");
  EXPECT_EXIT(
      {
        int zero = 0;
        zeuSetIntegerv(ZEU_DEBUG_LEVEL, &zero);
        zeuDebug(1, "fatal");
      },
      ExitedWithCode(255), "^$");
}

class Shutdown : public StartupShutdown {
 protected:
  void SetUp() override {
    StartupShutdown::SetUp();
    app.subStart();
    glrec::state().reshapeFunc(1920, 1080);
    app.events.clear();
    glrec::state().calls.clear();
  }
  void idle(int times) {
    for (int i = 0; i < times; ++i) glrec::state().idleFunc();
  }
  RecordingApp app;
};

TEST_F(Shutdown, CloseShrinksTheWindowAndReplacesIdle) {
  zeuClose();
  EXPECT_EQ(zeuWindowWidth, 100);
  EXPECT_EQ(zeuWindowHeight, 100);
  EXPECT_THAT(glrec::log({"glutReshapeWindow"}), ElementsAre("glutReshapeWindow(100, 100)"));
  EXPECT_EQ(glrec::state().idleFunc, &winddown_cb);

  // Four idle calls only count down: nothing reaches the app, no redisplay.
  idle(4);
  EXPECT_TRUE(app.events.empty());
  EXPECT_EQ(glrec::count("glutPostRedisplay"), 0u);
  EXPECT_EXIT(idle(1), ExitedWithCode(0), "^$");
}

TEST_F(Shutdown, ExactlyTheFifthIdleCallExits) {
  EXPECT_EXIT(
      {
        zeuClose();
        idle(4);
        std::fprintf(stderr, "alive after four");
        idle(1);
        std::fprintf(stderr, " and after five");
      },
      ExitedWithCode(0), "^alive after four$");
}

TEST_F(Shutdown, CloseAgainRestartsTheCount) {
  zeuClose();
  idle(3);
  zeuClose();
  EXPECT_EQ(glrec::count("glutReshapeWindow"), 2u);
  idle(4);  // would have exited on the second of these without the restart
  EXPECT_EXIT(idle(1), ExitedWithCode(0), "^$");
}

}  // namespace
