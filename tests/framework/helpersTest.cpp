// The application helpers: the windowed start-up, frame timing, modifier
// keys, held keys and the diagnostic for a transform stack never set up.
// Their state is process-wide and some of it switches on for good (the
// release watch, the modifier reads, the one diagnostic), so the tests run in
// the order written, in a process of their own.
#include <chrono>
#include <thread>

#include "tests/framework/frameworkTestSupport.h"
#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"

namespace {

using fwtest::RecordingApp;
using ::testing::ElementsAre;

// Records what the helpers answer inside the handlers.
class AskingApp : public RecordingApp {
 public:
  std::vector<int> modifiers;  // zeuModifiers() in each handler
  std::vector<bool> aDown;     // zeuKeyIsDown('a') in keyDown

  void keyDown(char key) override {
    modifiers.push_back(zeuModifiers());
    aDown.push_back(zeuKeyIsDown('a'));
    RecordingApp::keyDown(key);
  }
  void mouseDown(float, float, int) override { modifiers.push_back(zeuModifiers()); }
  void mouseDrag(float, float) override { modifiers.push_back(zeuModifiers()); }
};

class Helpers : public ::testing::Test {
 protected:
  void SetUp() override { fwtest::resetFramework(); }
};

size_t helperCalls() {
  return glrec::count("glutGetModifiers") + glrec::count("glutKeyboardUpFunc") +
         glrec::count("glutInitWindowSize");
}

// Runs first: nothing has asked for modifiers or held keys yet.
TEST_F(Helpers, AnApplicationThatUsesNoHelperMakesNoNewCall) {
  RecordingApp app;
  zeuOpen();
  app.selfStart();
  glrec::state().reshapeFunc(640, 480);
  display_cb();
  display_cb();
  keyboard_cb('a', 1, 1);
  special_key_cb(GLUT_KEY_F2, 1, 1);
  mouse_cb(GLUT_LEFT_BUTTON, GLUT_DOWN, 3, 3);
  motion_cb(4, 4);
  mouse_cb(GLUT_LEFT_BUTTON, GLUT_UP, 4, 4);
  EXPECT_EQ(helperCalls(), 0u);
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 2u);
}

TEST_F(Helpers, OpenWindowStartsInAWindowAndF1GoesToFullScreenAndBack) {
  struct Case {
    const char* title;
    int w, h;
    const char* wantTitle;
    int wantW, wantH;
  };
  for (const Case& c : {Case{"orrery", 800, 600, "orrery", 800, 600},
                        Case{nullptr, 0, 0, "zeu", 640, 480}, Case{"x", -5, 300, "x", 640, 480}}) {
    fwtest::resetFramework();
    zeuOpenWindow(c.title, c.w, c.h);
    const std::vector<std::string> log = glrec::log();
    ASSERT_GE(log.size(), 5u);
    const std::vector<std::string> head(log.begin(), log.begin() + 5);
    EXPECT_THAT(head, ElementsAre("glutInit(1, \"zeu\")", "glutInitDisplayMode(18)",
                                  fwtest::fmt("glutInitWindowSize(%g, %g)", c.wantW, c.wantH),
                                  std::string("glutCreateWindow(\"") + c.wantTitle + "\")",
                                  ::testing::StartsWith("glutReshapeFunc(")));
    EXPECT_EQ(glrec::count("glutFullScreen"), 0u);
    EXPECT_EQ(zeuDebugLevel, 3);  // the rest of start-up as zeuOpen's
  }

  RecordingApp app;
  app.subStart();
  glrec::state().reshapeFunc(800, 600);
  glrec::state().glutGetValues[GLUT_WINDOW_X] = 40;
  glrec::state().glutGetValues[GLUT_WINDOW_Y] = 50;
  glrec::state().calls.clear();
  special_key_cb(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(glrec::count("glutFullScreen"), 1u);
  glrec::state().reshapeFunc(1920, 1080);
  special_key_cb(GLUT_KEY_F1, 0, 0);  // back to the window it started in
  EXPECT_THAT(glrec::log({"glutReshapeWindow", "glutPositionWindow"}),
              ElementsAre("glutReshapeWindow(800, 600)", "glutPositionWindow(40, 50)"));
}

TEST_F(Helpers, FrameSecondsIsTheTimeBetweenTheStartsOfDrawnFrames) {
  RecordingApp app;
  zeuOpenWindow("timing", 640, 480);
  app.subStart();
  EXPECT_LT(zeuElapsedSeconds(), 0.5);  // counted from this start-up
  display_cb();                         // no width yet: not a frame
  EXPECT_EQ(zeuFrameSeconds(), 0.0f);
  glrec::state().reshapeFunc(640, 480);
  display_cb();
  EXPECT_EQ(zeuFrameSeconds(), 0.0f);  // one frame: no interval yet
  const double before = zeuElapsedSeconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  display_cb();
  EXPECT_GE(zeuFrameSeconds(), 0.040f);
  EXPECT_LT(zeuFrameSeconds(), 0.5f);
  EXPECT_GE(zeuElapsedSeconds() - before, 0.040);
}

// Before any handler asks for a held key.
TEST_F(Helpers, KeysAreDownFromPressToReleaseWhateverTheCase) {
  RecordingApp quiet;
  AskingApp app;
  zeuOpen();
  quiet.subStart();
  keyboard_cb('q', 0, 0);  // pressed before anyone asked: its release was not watched
  app.subStart();
  keyboard_cb('a', 0, 0);  // the first question comes from this press's handler
  EXPECT_THAT(app.aDown, ElementsAre(true));
  EXPECT_FALSE(zeuKeyIsDown('q'));
  ASSERT_NE(glrec::state().keyboardUpFunc, nullptr);
  auto release = glrec::state().keyboardUpFunc;

  EXPECT_TRUE(zeuKeyIsDown('A'));
  release('A', 0, 0);  // Shift pressed meanwhile
  EXPECT_FALSE(zeuKeyIsDown('a'));
  keyboard_cb(1, 0, 0);  // Ctrl+A
  release('a', 0, 0);    // Ctrl let go first
  EXPECT_FALSE(zeuKeyIsDown(1));
  keyboard_cb(' ', 0, 0);
  EXPECT_TRUE(zeuKeyIsDown(' '));
  release(' ', 0, 0);
  EXPECT_FALSE(zeuKeyIsDown(' '));
  EXPECT_EQ(glrec::count("glutKeyboardUpFunc"), 1u);
}

TEST_F(Helpers, ModifiersMapTheToolkitBitsInsideHandlersOnly) {
  AskingApp app;
  zeuOpen();
  app.subStart();
  glrec::state().reshapeFunc(640, 480);
  EXPECT_EQ(zeuModifiers(), 0);  // outside a handler: the toolkit is not asked
  EXPECT_EQ(glrec::count("glutGetModifiers"), 0u);

  struct Case {
    int glut, zeu;
  };
  for (const Case& c : {Case{0, 0}, Case{GLUT_ACTIVE_SHIFT, ZEU_SHIFT},
                        Case{GLUT_ACTIVE_CTRL, ZEU_CTRL}, Case{GLUT_ACTIVE_ALT, ZEU_ALT},
                        Case{GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_ALT | 8, ZEU_SHIFT | ZEU_ALT}}) {
    app.modifiers.clear();
    glrec::state().modifiers = c.glut;
    keyboard_cb('x', 0, 0);
    mouse_cb(GLUT_LEFT_BUTTON, GLUT_DOWN, 1, 1);
    glrec::state().modifiers = 0;  // a drag reports the keys held at the press
    motion_cb(2, 2);
    EXPECT_THAT(app.modifiers, ElementsAre(c.zeu, c.zeu, c.zeu)) << "glut bits " << c.glut;
  }
}

TEST_F(Helpers, DrawingOnAStackNeverInitialisedWarnsOnce) {
  zeuDebugLevel = 3;
  zeShape shape(false, false, false);
  shape.addPoint(1.0f, 2.0f, 3.0f);
  ASSERT_FALSE(zeTransformsInitialised());
  ::testing::internal::CaptureStderr();
  shape.draw();
  shape.draw();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "zeShape::draw: the transform stack was never initialised; call zeTransformsInit() "
            "once before drawing shapes\n");
  zeTransformsInit();
  EXPECT_TRUE(zeTransformsInitialised());
}

}  // namespace
