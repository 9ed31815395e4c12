// orbit: viewkit's orbit camera and a screenshot. A lit mesh turns slowly;
// drag with the left button to orbit it, turn the wheel to zoom, `v` puts
// the view back, `p` saves the window as orbit.png (orbit-1.png, ... when
// that exists; never over a file). Escape quits.
#include <cmath>
#include <cstdio>
#include <string>

#include "viewkit/files/safeFile.h"
#include "viewkit/view/orbitCamera.h"
#include "viewkit/view/pointerControl.h"
#include "viewkit/view/screenshot.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

class orbitApp : public zeApp {
 public:
  zeMeshShape* mesh = new zeMeshShape(40, 40);
  viewkit::OrbitCamera camera{-60.0f, 30.0f, 8.0f};  // tilt, turn (degrees), scale
  viewkit::PointerControl pointer{camera};
  bool saveAfterDraw = false;

  orbitApp() {
    zeTransformsInit();
    for (int i = 0; i < 40; ++i)
      for (int j = 0; j < 40; ++j) {
        const float x = j - 19.5f, y = i - 19.5f, r = std::sqrt(x * x + y * y);
        mesh->setMeshVertex(i, j, x, y, 8.0f * std::cos(r * 0.3f) / (1.0f + 0.1f * r));
        mesh->setMeshVertexColor(i, j, 0.9f, 0.4f + 0.012f * i, 0.2f + 0.015f * j, 1.0f);
      }
  }

  void draw() override {
    camera.advance();  // the automatic turn, until the first drag
    zePushMatrix();
    camera.applySoftware(W * 0.5f, H * 0.5f);  // on the stack, where picking sees it
    zeTransformsCaptureCamera();
    mesh->draw();
    zePopMatrix();
    if (!saveAfterDraw) return;
    saveAfterDraw = false;  // read the finished picture before the buffers swap
    std::string error, name = viewkit::freeFileName("orbit", ".png");
    if (viewkit::saveWindowPng(name, static_cast<int>(W), static_cast<int>(H), error))
      std::printf("wrote %s\n", name.c_str());
    else
      std::fprintf(stderr, "could not write %s: %s\n", name.c_str(), error.c_str());
    std::fflush(stdout);
  }

  void mouseDown(float x, float y, int button) override {
    if (button == viewkit::PointerControl::kLeftButton) camera.autoTurn = false;
    pointer.mouseDown(x, y, button);
  }
  void mouseUp(float x, float y, int button) override { pointer.mouseUp(x, y, button); }
  void mouseDrag(float x, float y) override { pointer.mouseDrag(x, y); }
  void mouseMove(float x, float y) override { pointer.mouseMove(x, y); }
  void keyDown(char key) override {
    if (key == 'v') camera.reset();
    if (key == 'p') saveAfterDraw = true;
    zeApp::keyDown(key);
  }
};

extern "C" zeApp* makeApp() {
  return new orbitApp();
}

int main() {
  zeuOpenWindow("orbit", 800, 600);
  makeApp()->selfStart();
  return 0;
}
