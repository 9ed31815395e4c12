// Toolkit callbacks: each finds the application registered for the window
// that received the event and hands the event on, with positions converted
// to float pixels whose origin is the bottom-left corner of the window.
#include <GL/freeglut.h>

#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuHooks.h"

namespace {

// The application of the current window, or null for a window id that does
// not fit the table or has no application.
zeApp* currentApp() {
  const int window = glutGetWindow();
  if (window < 0 || window >= 10) return nullptr;
  return apps[window];
}

// Toolkit rows count down from the top; the application's count up.
float flipY(int y) {
  return static_cast<float>(zeuWindowHeight - 1 - y);
}

}  // namespace

void display_cb() {
  zeApp* app = currentApp();
  if (!app) return;
  if (!aaValidWindowSize) aaValidWindowSize = zeuGetInteger(ZEU_WINDOW_WIDTH) != 0;
  if (!aaValidWindowSize) return;
  zeuhooks::frameStarted();
  zeuOpenToloFrame();
  app->draw();
  zeuCloseToloFrame();
}

void mouse_cb(int button, int state, int x, int y) {
  zeApp* app = currentApp();
  if (!app) return;
  const zeuhooks::InputEvent event(true);
  if (state == GLUT_DOWN) {
    app->mouseDown(static_cast<float>(x), flipY(y), button);
  } else if (state == GLUT_UP) {
    app->mouseUp(static_cast<float>(x), flipY(y), button);
  }
  aaLastMouseButton = button;
}

void motion_cb(int x, int y) {
  zeApp* app = currentApp();
  if (!app) return;
  const zeuhooks::InputEvent event(false);
  app->mouseDrag(static_cast<float>(x), flipY(y));
  app->mouseDrag(static_cast<float>(x), flipY(y), aaLastMouseButton);
}

void passive_motion_cb(int x, int y) {
  zeApp* app = currentApp();
  if (!app) return;
  const zeuhooks::InputEvent event(false);
  app->mouseMove(static_cast<float>(x), flipY(y));
}

void idle_cb() {
  zeApp* app = currentApp();
  if (!app) return;
  app->idle();
  glutPostRedisplay();
}

void keyboard_cb(unsigned char key, int, int) {
  zeApp* app = currentApp();
  if (!app) return;
  const zeuhooks::InputEvent event(true);
  zeuhooks::keyPressed(key);
  app->keyDown(static_cast<char>(key));
}

void special_key_cb(int key, int, int) {
  zeApp* app = currentApp();
  if (!app) return;
  const zeuhooks::InputEvent event(true);
  app->specialKeyDown(key);
}

void reshape_cb(int width, int height) {
  zeApp* app = currentApp();
  if (!app) return;
  zeuWindowWidth = width;
  zeuWindowHeight = height;
  app->resize(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
}
