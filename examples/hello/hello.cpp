// hello: a first application on the zeu framework. A small lit mesh waves in
// the standard 3D view; a left click on it is reported on standard output.
// Escape quits, F1 toggles full screen (both defaults of zeApp).
#include <cmath>
#include <cstdio>

#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

class helloApp : public zeApp {
 public:
  zeMeshShape* mesh = new zeMeshShape(16, 24);  // 16 rows of 24 vertices
  float phase = 0.0f;                           // of the wave, radians

  helloApp() {
    zeTransformsInit();  // every entry of the software stack the identity
    for (int i = 0; i < mesh->N; ++i)
      for (int j = 0; j < mesh->M; ++j)
        mesh->setMeshVertexColor(i, j, 1.0f, 0.55f + 0.015f * j, 0.2f, 1.0f);
  }

  void draw() override {
    // The view goes on the software transform stack, where shape picking
    // sees it; OpenGL's modelview stays the identity of the standard view,
    // in which the plane z = 0 is the window, one unit per pixel.
    zePushMatrix();
    zeTranslatef(W * 0.5f, H * 0.5f, 0.0f);
    zeRotatef(-30.0f, 1.0f, 0.0f, 0.0f);
    zeScalef(12.0f, 12.0f, 12.0f);
    zeTransformsCaptureCamera();  // once a frame, before any shape is drawn
    // Column j runs along x, row i along y: the strips then face the viewer.
    for (int i = 0; i < mesh->N; ++i)
      for (int j = 0; j < mesh->M; ++j)
        mesh->setMeshVertex(i, j, j - 11.5f, i - 7.5f, 1.5f * std::sin(0.4f * j + phase));
    mesh->draw();  // lit: normals follow the moved vertices on every draw
    zePopMatrix();
    // 3 radians a second, by the clock: the same speed at any frame rate.
    phase = std::fmod(phase + 3.0f * zeuFrameSeconds(), 6.2831853f);
  }

  void mouseDown(float x, float y, int button) override {
    if (button == 0 && mesh->pointInside(x, y)) {
      std::printf("hello: left click on the mesh at %.0f, %.0f\n", x, y);
      std::fflush(stdout);
    }
  }
};

extern "C" zeApp* makeApp() {
  return new helloApp();
}

int main() {
  zeuOpen();               // the toolkit and the full-screen window
  zeApp* app = makeApp();  // the one application object, owned for good
  app->selfStart();        // callbacks, then the main loop; never returns
  return 0;
}
