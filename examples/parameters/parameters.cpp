// parameters: the parameter interface and the levelled diagnostics. The
// overlay shows settings read through zeuGetIntegerv; `+` and `-` change the
// debug level through zeuSetIntegerv, `b` asks for a code that does not
// exist (a level-2 warning on standard error, printed only at level 2 and
// above), `d` sends a level-3 message of our own, `s` resizes the window
// through ZEU_WINDOW_SIZE. Escape quits.
#include <GL/gl.h>

#include <cstdio>

#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

class parametersApp : public zeApp {
 public:
  int lastBad = 0;

  void draw() override {
    int size[2], rect[4];
    zeuGetIntegerv(ZEU_WINDOW_SIZE, size);
    zeuGetIntegerv(ZEU_SCREEN_GRAB_RECT, rect);
    char text[512];
    std::snprintf(text, sizeof text,
                  "ZEU_WINDOW_SIZE        %d x %d\n"
                  "ZEU_DEBUG_LEVEL        %d   (+ / -)\n"
                  "ZEU_TIME_STEP          %d\n"
                  "ZEU_VIDEO_FPS          %d\n"
                  "ZEU_SCREEN_GRAB_RECT   %d %d %d %d\n"
                  "bad code asked for     %d   (b; warns on stderr at level >= 2)\n"
                  "d: a level-3 message   s: window 640 x 480",
                  size[0], size[1], zeuGetInteger(ZEU_DEBUG_LEVEL), zeuGetInteger(ZEU_TIME_STEP),
                  zeuGetInteger(ZEU_VIDEO_FPS), rect[0], rect[1], rect[2], rect[3], lastBad);
    zeuOverlayText(20.0f, H - 20.0f, text, 0.6f, 1.0f, 0.6f);

    // A bar as wide as the debug level, drawn straight with OpenGL.
    glDisable(GL_LIGHTING);
    glColor3f(0.2f, 0.6f, 1.0f);
    glBegin(GL_QUADS);
    const float w = 60.0f * zeuGetInteger(ZEU_DEBUG_LEVEL);
    glVertex3f(20.0f, 40.0f, 0.0f);
    glVertex3f(20.0f + w, 40.0f, 0.0f);
    glVertex3f(20.0f + w, 80.0f, 0.0f);
    glVertex3f(20.0f, 80.0f, 0.0f);
    glEnd();
  }

  void keyDown(char key) override {
    int level = zeuGetInteger(ZEU_DEBUG_LEVEL);
    if (key == '+' || key == '-') {
      level += key == '+' ? 1 : -1;
      if (level < 0) level = 0;
      zeuSetIntegerv(ZEU_DEBUG_LEVEL, &level);
    } else if (key == 'b') {
      lastBad = 30;  // a gap between the screen-grab codes
      int ignored[4];
      zeuGetIntegerv(static_cast<short>(lastBad), ignored);
    } else if (key == 'd') {
      zeuDebug(3, "parameters: a level-3 message");
    } else if (key == 's') {
      int size[2] = {640, 480};
      zeuSetIntegerv(ZEU_WINDOW_SIZE, size);
    }
    zeApp::keyDown(key);
  }
};

extern "C" zeApp* makeApp() {
  return new parametersApp();
}

int main() {
  zeuOpenWindow("parameters", 800, 600);
  makeApp()->selfStart();
  return 0;
}
