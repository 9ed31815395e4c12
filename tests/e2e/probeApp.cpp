// A minimal application for the end-to-end tests: it runs on the framework's
// own main and marks the four corners of the window with 10 x 10 squares of
// distinct colours, so a screenshot shows where the plane z = 0 lands.
#include <GL/gl.h>

#include "zeu/zeApp.h"
#include "zeu/zeu.h"

namespace {

void square(float x, float y, float r, float g, float b) {
  glColor3f(r, g, b);
  glVertex3f(x, y, 0.0f);
  glVertex3f(x + 10.0f, y, 0.0f);
  glVertex3f(x + 10.0f, y + 10.0f, 0.0f);
  glVertex3f(x, y + 10.0f, 0.0f);
}

class ProbeApp : public zeApp {
 public:
  void draw() override {
    const float w = static_cast<float>(zeuWindowWidth);
    const float h = static_cast<float>(zeuWindowHeight);
    glDisable(GL_LIGHTING);
    glBegin(GL_QUADS);
    square(0.0f, 0.0f, 1.0f, 0.0f, 0.0f);            // bottom-left: red
    square(w - 10.0f, 0.0f, 0.0f, 1.0f, 0.0f);       // bottom-right: green
    square(0.0f, h - 10.0f, 0.0f, 0.0f, 1.0f);       // top-left: blue
    square(w - 10.0f, h - 10.0f, 1.0f, 1.0f, 1.0f);  // top-right: white
    glEnd();
  }
};

}  // namespace

extern "C" zeApp* makeApp() {
  return new ProbeApp();
}
