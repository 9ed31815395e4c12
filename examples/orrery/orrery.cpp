// orrery: the software transform stack. A sun, two planets and a moon are
// one disc shape drawn four times; each body's place is the product of the
// matrices pushed for it, so the moon follows its planet around the sun.
// zePushMatrix saves the current matrix and zePopMatrix goes back to it.
// Motion is by the clock, so it runs at one speed at any frame rate.
#include <GL/gl.h>

#include <cmath>

#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

class orreryApp : public zeApp {
 public:
  zeShape* disc = new zeShape(false, false, false);

  orreryApp() {
    zeTransformsInit();
    disc->drawStyle = GL_TRIANGLE_FAN;
    disc->addPoint(0.0f, 0.0f, 0.0f);
    for (int k = 0; k <= 32; ++k)
      disc->addPoint(std::cos(k * 0.19634954f), std::sin(k * 0.19634954f), 0.0f);
  }

  // The disc at the current matrix of the stack, scaled to radius r.
  void body(float r, float red, float green, float blue) {
    disc->Scale.set(r, r, 1.0f);
    disc->Color.set(red, green, blue, 1.0f);
    disc->draw();
  }

  void draw() override {
    const float t = static_cast<float>(zeuElapsedSeconds());
    zeTransformsCaptureCamera();
    zePushMatrix();
    zeTranslatef(W * 0.5f, H * 0.5f, 0.0f);  // the sun in the middle
    body(40.0f, 1.0f, 0.8f, 0.2f);

    zePushMatrix();  // the inner planet: a quick small circle
    zeRotatef(t * 50.0f, 0.0f, 0.0f, 1.0f);
    zeTranslatef(110.0f, 0.0f, 0.0f);
    body(12.0f, 0.8f, 0.4f, 0.3f);
    zePopMatrix();

    zePushMatrix();  // the outer planet and its moon
    zeRotatef(t * 20.0f, 0.0f, 0.0f, 1.0f);
    zeTranslatef(220.0f, 0.0f, 0.0f);
    body(22.0f, 0.3f, 0.5f, 1.0f);
    zeRotatef(t * 120.0f, 0.0f, 0.0f, 1.0f);  // about the planet, not the sun
    zeTranslatef(45.0f, 0.0f, 0.0f);
    body(7.0f, 0.85f, 0.85f, 0.85f);
    zePopMatrix();

    zePopMatrix();
  }
};

extern "C" zeApp* makeApp() {
  return new orreryApp();
}

int main() {
  zeuOpenWindow("orrery", 800, 600);
  makeApp()->selfStart();
  return 0;
}
