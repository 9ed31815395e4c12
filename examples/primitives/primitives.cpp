// primitives: the ten OpenGL primitive modes a zeShape draws, side by side,
// each over the same six vertices (a zigzag for the strips, a ring for the
// rest) and named underneath. Escape quits.
#include <GL/gl.h>

#include <cmath>

#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

struct Mode {
  GLenum mode;
  const char* name;
  bool zigzag;
};
const Mode kModes[10] = {{GL_POINTS, "POINTS", false},
                         {GL_LINES, "LINES", false},
                         {GL_LINE_STRIP, "LINE_STRIP", false},
                         {GL_LINE_LOOP, "LINE_LOOP", false},
                         {GL_TRIANGLES, "TRIANGLES", false},
                         {GL_TRIANGLE_STRIP, "TRIANGLE_STRIP", true},
                         {GL_TRIANGLE_FAN, "TRIANGLE_FAN", false},
                         {GL_QUADS, "QUADS", false},
                         {GL_QUAD_STRIP, "QUAD_STRIP", true},
                         {GL_POLYGON, "POLYGON", false}};

class primitivesApp : public zeApp {
 public:
  zeShape* shapes[10];

  primitivesApp() {
    zeTransformsInit();
    for (int k = 0; k < 10; ++k) {
      zeShape* s = shapes[k] = new zeShape(true, false, false);
      s->drawStyle = kModes[k].mode;
      for (int v = 0; v < 6; ++v) {
        const float a = 6.2831853f * v / 6.0f;
        if (kModes[k].zigzag)
          s->addPoint(-50.0f + 20.0f * v, v % 2 ? 40.0f : -40.0f, 0.0f);
        else
          s->addPoint(50.0f * std::cos(a), 50.0f * std::sin(a), 0.0f);
        s->setVertexColor(v, 0.3f + 0.14f * v, 0.9f - 0.12f * v, 0.4f + 0.1f * v, 1.0f);
      }
    }
    glPointSize(6.0f);
    glLineWidth(2.0f);
  }

  void draw() override {
    zeTransformsCaptureCamera();  // once a frame, before any shape is drawn
    for (int k = 0; k < 10; ++k) {
      const float x = W * (k % 5 + 0.5f) / 5.0f, y = H * (k < 5 ? 0.7f : 0.25f);
      shapes[k]->Translation.set(x, y, 0.0f);  // the shape's own placement
      shapes[k]->draw();
      const float left = x - 4.5f * ZEU_OVERLAY_CHAR_WIDTH * 1.5f;
      zeuOverlayText(left, y - 70.0f, kModes[k].name, 1.0f, 1.0f, 1.0f);
    }
  }
};

extern "C" zeApp* makeApp() {
  return new primitivesApp();
}

int main() {
  zeuOpenWindow("primitives", 800, 600);
  makeApp()->selfStart();
  return 0;
}
