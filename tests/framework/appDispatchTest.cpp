// The application base class and the routing of toolkit events to it.
#include <cstdint>

#include "tests/framework/frameworkTestSupport.h"

namespace {

using fwtest::RecordingApp;
using ::testing::ElementsAre;

double fnPtr(const void* p) {
  return static_cast<double>(reinterpret_cast<uintptr_t>(p));
}
template <typename F>
double fnPtr(F* f) {
  return fnPtr(reinterpret_cast<const void*>(f));
}

class AppDispatch : public ::testing::Test {
 protected:
  void SetUp() override { fwtest::resetFramework(); }

  // Registers the app and delivers a first reshape, as the toolkit would.
  void startWithWindow(int w, int h) {
    app.subStart();
    glrec::state().reshapeFunc(w, h);
    app.events.clear();
    glrec::state().calls.clear();
  }

  RecordingApp app;
};

TEST_F(AppDispatch, ConstructorDefaultsAndDisplayGateReset) {
  aaValidWindowSize = 1;
  aaGrabCount = 5;
  zeApp a;
  EXPECT_EQ(a.X, 0.0f);
  EXPECT_EQ(a.Y, 0.0f);
  EXPECT_EQ(a.W, 100.0f);
  EXPECT_EQ(a.H, 100.0f);
  EXPECT_EQ(aaGrabCount, -1);
  EXPECT_EQ(aaValidWindowSize, 0);
}

TEST_F(AppDispatch, SelfStartRegistersInstallsSizesFocusesAndRuns) {
  glrec::state().window = 3;
  zeuWindowWidth = 1920;
  zeuWindowHeight = 1080;
  app.selfStart();
  EXPECT_EQ(apps[3], &app);

  const std::vector<std::string> names = {
      "glutDisplayFunc",       "glutMouseFunc",   "glutMotionFunc",
      "glutPassiveMotionFunc", "glutIdleFunc",    "glutKeyboardFunc",
      "glutSpecialFunc",       "glutReshapeFunc", "glutMainLoop"};
  std::vector<std::string> order;
  for (const glrec::Call& c : glrec::state().calls)
    for (const std::string& n : names)
      if (c.name == n) order.push_back(c.name);
  EXPECT_THAT(order,
              ElementsAre("glutDisplayFunc", "glutMouseFunc", "glutMotionFunc",
                          "glutPassiveMotionFunc", "glutIdleFunc", "glutKeyboardFunc",
                          "glutSpecialFunc", "glutReshapeFunc", "glutReshapeFunc", "glutMainLoop"));

  const auto& s = glrec::state();
  EXPECT_EQ(s.displayFunc, &display_cb);
  EXPECT_EQ(s.mouseFunc, &mouse_cb);
  EXPECT_EQ(s.motionFunc, &motion_cb);
  EXPECT_EQ(s.passiveMotionFunc, &passive_motion_cb);
  EXPECT_EQ(s.idleFunc, &idle_cb);
  EXPECT_EQ(s.keyboardFunc, &keyboard_cb);
  EXPECT_EQ(s.specialFunc, &special_key_cb);
  const auto reshapes = glrec::callsNamed("glutReshapeFunc");
  ASSERT_EQ(reshapes.size(), 2u);
  EXPECT_EQ(reshapes[0].args[0], 0.0);  // cleared first, then replaced
  EXPECT_EQ(reshapes[1].args[0], fnPtr(&reshape_cb));

  // Sized from the window before the main loop starts, then focused.
  EXPECT_THAT(app.events, ElementsAre("resize(0,0,1920,1080)", "setFocus(1)"));
}

TEST_F(AppDispatch, SubStartOnlyRegistersAndInstalls) {
  glrec::state().window = 2;
  app.subStart();
  EXPECT_EQ(apps[2], &app);
  EXPECT_EQ(glrec::count("glutMainLoop"), 0u);
  EXPECT_EQ(glrec::count("glutDisplayFunc"), 1u);
  EXPECT_EQ(glrec::count("glutReshapeFunc"), 2u);
  EXPECT_EQ(glrec::state().reshapeFunc, &reshape_cb);
  EXPECT_TRUE(app.events.empty());
}

TEST_F(AppDispatch, MousePositionsArriveBottomLeftOrigin) {
  startWithWindow(640, 480);
  mouse_cb(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);  // top-left pixel
  mouse_cb(GLUT_LEFT_BUTTON, GLUT_UP, 0, 479);  // bottom-left pixel
  passive_motion_cb(639, 240);
  EXPECT_THAT(app.events,
              ElementsAre("mouseDown(0,479,0)", "mouseUp(0,0,0)", "mouseMove(639,239)"));
}

TEST_F(AppDispatch, DragCallsBothHandlersWithLastButton) {
  startWithWindow(640, 480);
  motion_cb(5, 10);  // no button event yet: button 0
  mouse_cb(GLUT_RIGHT_BUTTON, GLUT_DOWN, 1, 1);
  motion_cb(6, 20);
  mouse_cb(GLUT_MIDDLE_BUTTON, GLUT_UP, 1, 1);
  motion_cb(7, 30);
  EXPECT_THAT(app.events,
              ElementsAre("mouseDrag(5,469)", "mouseDrag(5,469,0)", "mouseDown(1,478,2)",
                          "mouseDrag(6,459)", "mouseDrag(6,459,2)", "mouseUp(1,478,1)",
                          "mouseDrag(7,449)", "mouseDrag(7,449,1)"));
}

TEST_F(AppDispatch, UnknownMouseStateCallsNothingButRemembersButton) {
  startWithWindow(640, 480);
  mouse_cb(4, 7, 3, 3);
  EXPECT_TRUE(app.events.empty());
  EXPECT_EQ(aaLastMouseButton, 4);
  motion_cb(0, 479);
  EXPECT_THAT(app.events, ElementsAre("mouseDrag(0,0)", "mouseDrag(0,0,4)"));
}

TEST_F(AppDispatch, KeysArriveWithoutPosition) {
  startWithWindow(640, 480);
  keyboard_cb('a', 10, 20);
  keyboard_cb(200, 10, 20);  // beyond 127: handed on as a (signed) char
  special_key_cb(GLUT_KEY_F2, 10, 20);
  EXPECT_THAT(
      app.events,
      ElementsAre("keyDown(97)",
                  "keyDown(" + std::to_string(static_cast<int>(static_cast<char>(200))) + ")",
                  "specialKeyDown(2)"));
}

TEST_F(AppDispatch, DisplayWaitsForWidthThenDrawsInsideTheFrame) {
  startWithWindow(0, 0);
  display_cb();
  EXPECT_TRUE(app.events.empty());
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 0u);
  EXPECT_EQ(glrec::count("glViewport"), 0u);

  zeuWindowWidth = 640;
  zeuWindowHeight = 480;
  display_cb();
  EXPECT_THAT(app.events, ElementsAre("draw"));
  EXPECT_EQ(frameDepth, 0);
  const auto order = glrec::log({"glViewport", "gluLookAt", "glVertex3f", "glutSwapBuffers"});
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0], "glViewport(0, 0, 640, 480)");
  EXPECT_EQ(order[2], "glVertex3f(7, 7, 7)");
  EXPECT_EQ(order[3], "glutSwapBuffers()");

  // Once open, the gate stays open even if the width drops back to 0.
  zeuWindowWidth = 0;
  display_cb();
  EXPECT_EQ(app.events.size(), 2u);
  // A newly constructed application closes it again.
  zeApp other;
  display_cb();
  EXPECT_EQ(app.events.size(), 2u);
}

TEST_F(AppDispatch, IdleCallsAppThenPostsRedisplay) {
  startWithWindow(640, 480);
  idle_cb();
  EXPECT_THAT(app.events, ElementsAre("idle"));
  EXPECT_EQ(glrec::count("glutPostRedisplay"), 1u);
}

TEST_F(AppDispatch, PointInsideIsHalfOpenAndIgnoresPosition) {
  zeApp a;
  a.resize(50.0f, 60.0f, 10.0f, 20.0f);
  EXPECT_TRUE(a.pointInside(0.0f, 0.0f));
  EXPECT_TRUE(a.pointInside(9.5f, 19.5f));
  EXPECT_FALSE(a.pointInside(10.0f, 5.0f));
  EXPECT_FALSE(a.pointInside(5.0f, 20.0f));
  EXPECT_FALSE(a.pointInside(-0.5f, 5.0f));
  EXPECT_FALSE(a.pointInside(5.0f, -0.5f));
  EXPECT_FALSE(a.pointInside(55.0f, 65.0f));
  a.resize(0.0f, 0.0f, 0.0f, 0.0f);
  EXPECT_FALSE(a.pointInside(0.0f, 0.0f));
}

TEST_F(AppDispatch, EscapeStartsShutdownOtherKeysDoNothing) {
  startWithWindow(1920, 1080);
  keyboard_cb('q', 0, 0);
  EXPECT_EQ(glrec::count("glutIdleFunc"), 0u);
  keyboard_cb(27, 0, 0);
  EXPECT_EQ(glrec::log({"glutReshapeWindow"}),
            std::vector<std::string>{"glutReshapeWindow(100, 100)"});
  EXPECT_EQ(glrec::state().idleFunc, &winddown_cb);
  EXPECT_EQ(zeuWindowWidth, 100);
  EXPECT_EQ(zeuWindowHeight, 100);
}

TEST_F(AppDispatch, F1TogglesWindowAndFullScreen) {
  startWithWindow(1920, 1080);
  glrec::state().glutGetValues[GLUT_WINDOW_X] = 100;
  glrec::state().glutGetValues[GLUT_WINDOW_Y] = 101;

  // First press: the default window inside the screen.
  special_key_cb(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(aafullScreen, 0);
  EXPECT_EQ(aahaveShrunk, 1);
  EXPECT_EQ(aafullWidth, 1920);
  EXPECT_EQ(aafullHeight, 1080);
  EXPECT_EQ(zeuWindowWidth, 1850);
  EXPECT_EQ(zeuWindowHeight, 990);
  EXPECT_EQ(
      glrec::log({"glutReshapeWindow", "glutPositionWindow", "glutFullScreen"}),
      (std::vector<std::string>{"glutReshapeWindow(1850, 990)", "glutPositionWindow(35, 55)"}));

  // The user resizes the window; the size is truncated toward zero.
  glrec::state().reshapeFunc(800, 600);
  app.resize(0.0f, 0.0f, 799.9f, 599.5f);
  glrec::state().calls.clear();

  // Second press: back to full screen, remembering the window.
  special_key_cb(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(aafullScreen, 1);
  EXPECT_EQ(aaWinX, 100);
  EXPECT_EQ(aaWinY, 101);
  EXPECT_EQ(aaWinW, 799);
  EXPECT_EQ(aaWinH, 599);
  EXPECT_EQ(glrec::log({"glutReshapeWindow", "glutPositionWindow", "glutFullScreen"}),
            std::vector<std::string>{"glutFullScreen()"});

  glrec::state().reshapeFunc(1920, 1080);
  glrec::state().calls.clear();

  // Third press: the remembered window, not the default one.
  special_key_cb(GLUT_KEY_F1, 0, 0);
  EXPECT_EQ(aafullScreen, 0);
  EXPECT_EQ(
      glrec::log({"glutReshapeWindow", "glutPositionWindow", "glutFullScreen"}),
      (std::vector<std::string>{"glutReshapeWindow(799, 599)", "glutPositionWindow(100, 101)"}));

  // Other special keys change nothing.
  glrec::state().calls.clear();
  special_key_cb(GLUT_KEY_F2, 0, 0);
  EXPECT_EQ(aafullScreen, 0);
  EXPECT_EQ(glrec::count("glutFullScreen") + glrec::count("glutReshapeWindow"), 0u);
}

TEST_F(AppDispatch, WindowIdsOutsideTheTableAreIgnored) {
  for (int id : {-1, 10, 12, 1000}) {
    fwtest::resetFramework();
    glrec::state().window = id;
    RecordingApp a;
    a.subStart();
    for (zeApp* p : apps) EXPECT_EQ(p, nullptr) << id;

    // Every callback for that window is a no-op.
    auto& s = glrec::state();
    s.calls.clear();
    zeuWindowWidth = 640;
    zeuWindowHeight = 480;
    s.displayFunc();
    s.mouseFunc(0, GLUT_DOWN, 1, 1);
    s.motionFunc(1, 1);
    s.passiveMotionFunc(1, 1);
    s.idleFunc();
    s.keyboardFunc(27, 0, 0);
    s.specialFunc(GLUT_KEY_F1, 0, 0);
    s.reshapeFunc(10, 10);
    EXPECT_TRUE(a.events.empty()) << id;
    EXPECT_EQ(zeuWindowWidth, 640) << id;
    EXPECT_EQ(aaLastMouseButton, 0) << id;
    EXPECT_THAT(glrec::log(), ::testing::Each(::testing::StartsWith("glutGetWindow"))) << id;
  }
}

}  // namespace
