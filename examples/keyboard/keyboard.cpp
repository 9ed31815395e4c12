// keyboard: held keys, modifiers and the wheel. Hold w, a, s, d to move the
// square (zeuKeyIsDown, at 300 pixels a second), turn the wheel to grow or
// shrink it (ZEU_WHEEL_UP, ZEU_WHEEL_DOWN), and press keys or buttons with
// Shift, Ctrl or Alt: the overlay names the last event and its modifiers.
// Escape quits.
#include <GL/gl.h>

#include <cstdio>

#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

class keyboardApp : public zeApp {
 public:
  float x = 400.0f, y = 300.0f, size = 60.0f;
  char last[96] = "press a key or a mouse button";

  // What the event was, and which modifiers were held during it.
  void describe(const char* what) {
    const int m = zeuModifiers();
    std::snprintf(last, sizeof last, "%s%s%s%s", what, m & ZEU_SHIFT ? " +Shift" : "",
                  m & ZEU_CTRL ? " +Ctrl" : "", m & ZEU_ALT ? " +Alt" : "");
  }

  void draw() override {
    const float step = 300.0f * zeuFrameSeconds();
    if (zeuKeyIsDown('a')) x -= step;
    if (zeuKeyIsDown('d')) x += step;
    if (zeuKeyIsDown('w')) y += step;
    if (zeuKeyIsDown('s')) y -= step;

    glDisable(GL_LIGHTING);
    glColor3f(0.3f, 0.8f, 0.4f);
    glBegin(GL_QUADS);
    glVertex3f(x - size, y - size, 0.0f);
    glVertex3f(x + size, y - size, 0.0f);
    glVertex3f(x + size, y + size, 0.0f);
    glVertex3f(x - size, y + size, 0.0f);
    glEnd();

    char text[200];
    std::snprintf(text, sizeof text, "held: %s%s%s%s\nlast: %s\nw a s d move, the wheel resizes",
                  zeuKeyIsDown('w') ? "w " : "", zeuKeyIsDown('a') ? "a " : "",
                  zeuKeyIsDown('s') ? "s " : "", zeuKeyIsDown('d') ? "d " : "", last);
    zeuOverlayText(10.0f, H - 10.0f, text, 1.0f, 1.0f, 1.0f);
  }

  void keyDown(char key) override {
    char what[32];
    std::snprintf(what, sizeof what, "key %d '%c'", key, key >= 32 && key < 127 ? key : '?');
    describe(what);
    zeApp::keyDown(key);  // Escape quits
  }
  void mouseDown(float, float, int button) override {
    if (button == ZEU_WHEEL_UP) size *= 1.1f;
    if (button == ZEU_WHEEL_DOWN && size > 5.0f) size /= 1.1f;
    char what[32];
    std::snprintf(what, sizeof what, "button %d", button);
    describe(what);
  }
};

extern "C" zeApp* makeApp() {
  return new keyboardApp();
}

int main() {
  zeuOpenWindow("keyboard", 800, 600);
  makeApp()->selfStart();
  return 0;
}
