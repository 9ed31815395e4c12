// lighting: the same bumpy mesh twice under the standard view's light. On
// the left the shape library computes a normal per vertex on every draw
// (smooth shading follows the bumps); on the right every vertex keeps the
// one normal (0, 0, 1) and the surface looks flat. Escape quits.
#include <cmath>
#include <initializer_list>

#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

class lightingApp : public zeApp {
 public:
  zeMeshShape* smooth = new zeMeshShape(30, 30);
  zeMeshShape* flat = new zeMeshShape(30, 30);
  float turn = 0.0f;

  lightingApp() {
    zeTransformsInit();
    for (zeMeshShape* m : {smooth, flat})
      for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j) {
          // x = j, y = i: the strips then face the viewer.
          const float x = j - 14.5f, y = i - 14.5f;
          m->setMeshVertex(i, j, x, y, 3.0f * std::cos(0.35f * x) * std::cos(0.35f * y));
          m->setMeshVertexColor(i, j, 0.3f, 0.6f, 1.0f, 1.0f);
        }
    flat->enableVertexNormals = false;  // one normal for the whole shape
    flat->Normal.set(0.0f, 0.0f, 1.0f);
    for (zeMeshShape* m : {smooth, flat}) {
      m->Scale.set(9.0f, 9.0f, 9.0f);
      m->transformOrder = ze_T_R_S;
    }
  }

  void draw() override {
    zeTransformsCaptureCamera();
    turn = std::fmod(turn + 20.0f * zeuFrameSeconds(), 360.0f);  // 20 degrees a second
    smooth->Translation.set(W * 0.27f, H * 0.5f, 0.0f);
    flat->Translation.set(W * 0.73f, H * 0.5f, 0.0f);
    for (zeMeshShape* m : {smooth, flat}) {
      m->Rotation.set(turn, 0.3f, 1.0f, 0.0f);  // degrees, then the axis
      m->draw();
    }
    zeuOverlayText(W * 0.27f - 100.0f, H - 30.0f, "normals per vertex", 1.0f, 1.0f, 1.0f);
    zeuOverlayText(W * 0.73f - 100.0f, H - 30.0f, "one normal (0, 0, 1)", 1.0f, 1.0f, 1.0f);
  }
};

extern "C" zeApp* makeApp() {
  return new lightingApp();
}

int main() {
  zeuOpenWindow("lighting", 800, 600);
  makeApp()->selfStart();
  return 0;
}
