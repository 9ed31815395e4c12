// The application base class: its defaults, registration and the start-up
// of the toolkit's main loop.
#include "zeu/zeApp.h"

#include <GL/freeglut.h>

#include "zeu/zeu.h"

namespace {

// Registers the application for the current window and routes every toolkit
// event to it. A window id that does not fit the table is not registered.
void registerAndInstallCallbacks(zeApp* app) {
  const int window = glutGetWindow();
  if (window >= 0 && window < 10) apps[window] = app;

  glutDisplayFunc(display_cb);
  glutMouseFunc(mouse_cb);
  glutMotionFunc(motion_cb);
  glutPassiveMotionFunc(passive_motion_cb);
  glutIdleFunc(idle_cb);
  glutKeyboardFunc(keyboard_cb);
  glutSpecialFunc(special_key_cb);
  glutReshapeFunc(nullptr);
  glutReshapeFunc(reshape_cb);
}

}  // namespace

zeApp::zeApp() : X(0.0f), Y(0.0f), W(100.0f), H(100.0f) {
  aaGrabCount = -1;
  aaValidWindowSize = 0;  // the display gate tests the window size again
}

void zeApp::idle() {}

void zeApp::draw() {}

void zeApp::selfStart() {
  registerAndInstallCallbacks(this);
  int size[2] = {0, 0};
  zeuGetIntegerv(ZEU_WINDOW_SIZE, size);
  resize(0.0f, 0.0f, static_cast<float>(size[0]), static_cast<float>(size[1]));
  setFocus(true);
  glutMainLoop();
}

void zeApp::subStart() {
  registerAndInstallCallbacks(this);
}

void zeApp::setFocus(bool) {}

void zeApp::setParent(void*) {}

void zeApp::resize(float x, float y, float w, float h) {
  X = x;
  Y = y;
  W = w;
  H = h;
}

bool zeApp::pointInside(float x, float y) {
  return x >= 0.0f && x < W && y >= 0.0f && y < H;
}

void zeApp::mouseMove(float, float) {}

void zeApp::mouseDown(float, float, int) {}

void zeApp::mouseDrag(float, float) {}

void zeApp::mouseDrag(float, float, int) {}

void zeApp::mouseUp(float, float, int) {}

void zeApp::keyDown(char key) {
  if (key == 27) zeuClose();  // Escape
}

void zeApp::specialKeyDown(int key) {
  if (key != GLUT_KEY_F1) return;
  if (aafullScreen) {
    if (!aahaveShrunk) {
      // First time out of full screen: a window a little inside the screen.
      aahaveShrunk = 1;
      aaWinW = zeuWindowWidth - 70;
      aaWinH = zeuWindowHeight - 90;
      aaWinX = 35;
      aaWinY = 55;
    }
    aafullScreen = 0;
    aafullWidth = static_cast<int>(W);
    aafullHeight = static_cast<int>(H);
    int size[2] = {aaWinW, aaWinH};
    zeuSetIntegerv(ZEU_WINDOW_SIZE, size);  // also ends the toolkit's full-screen mode
    glutPositionWindow(aaWinX, aaWinY);
  } else {
    aafullScreen = 1;
    aaWinX = glutGet(GLUT_WINDOW_X);
    aaWinY = glutGet(GLUT_WINDOW_Y);
    aaWinW = static_cast<int>(W);
    aaWinH = static_cast<int>(H);
    glutFullScreen();
  }
}
