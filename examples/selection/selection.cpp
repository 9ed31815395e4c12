// selection: picking and the region tests. Drag with the left button to pull
// a rubber band: the tiles wholly inside it (shapeInRect) turn orange; Shift
// while releasing keeps the earlier selection. A click on a tile
// (pointInside) toggles it. Escape quits.
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>

#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

constexpr int kTiles = 40;  // 8 x 5

class selectionApp : public zeApp {
 public:
  zeShape* tiles[kTiles];
  bool selected[kTiles] = {};
  zeShape* band = new zeShape(false, false, false);          // the rubber band, in window pixels
  float x0 = 110.0f, y0 = 140.0f, x1 = 400.0f, y1 = 350.0f;  // a first band to show
  bool dragging = true;

  selectionApp() {
    zeTransformsInit();
    for (zeShape*& t : tiles) {
      t = new zeShape(false, false, false);
      t->drawStyle = GL_POLYGON;
      for (int v = 0; v < 4; ++v)
        t->addPoint(v == 1 || v == 2 ? 30.0f : -30.0f, v < 2 ? -30.0f : 30.0f, 0.0f);
    }
    band->drawStyle = GL_LINE_LOOP;
    band->enablePicking = false;
    for (int k = 0; k < 4; ++k) band->addPoint();
  }

  // Tile k lies wholly inside the band (its corners in any order).
  bool inBand(int k) {
    return tiles[k]->shapeInRect(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1),
                                 std::max(y0, y1), false);
  }

  void draw() override {
    zeTransformsCaptureCamera();  // window positions for picking, once a frame
    for (int k = 0; k < kTiles; ++k) {
      const bool lit = selected[k] || (dragging && inBand(k));
      tiles[k]->Color.set(lit ? 1.0f : 0.35f, lit ? 0.55f : 0.4f, lit ? 0.1f : 0.5f, 1.0f);
      tiles[k]->Translation.set(W * (k % 8 + 0.5f) / 8.0f, H * (k / 8 + 0.5f) / 5.0f, 0.0f);
      tiles[k]->draw();
    }
    if (!dragging) return;
    const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (int v = 0; v < 4; ++v) band->setVertex(v, corners[v][0], corners[v][1], 1.0f);
    band->draw();  // z = 1: just in front of the tiles
  }

  void mouseDown(float x, float y, int button) override {
    if (button != GLUT_LEFT_BUTTON) return;
    x0 = x1 = x;
    y0 = y1 = y;
    dragging = true;
  }
  void mouseDrag(float x, float y) override {
    x1 = x;
    y1 = y;
  }
  void mouseUp(float x, float y, int button) override {
    if (button != GLUT_LEFT_BUTTON || !dragging) return;
    dragging = false;
    mouseDrag(x, y);
    const bool click = std::abs(x - x0) < 3.0f && std::abs(y - y0) < 3.0f;
    const bool keep = (zeuModifiers() & ZEU_SHIFT) != 0;
    for (int k = 0; k < kTiles; ++k) {
      if (click && tiles[k]->pointInside(x, y)) selected[k] = !selected[k];
      if (!click) selected[k] = inBand(k) || (keep && selected[k]);
    }
  }
};

extern "C" zeApp* makeApp() {
  return new selectionApp();
}

int main() {
  zeuOpenWindow("selection", 800, 600);
  makeApp()->selfStart();
  return 0;
}
