// records: a shape written as a binary record and read back. At start-up a
// coloured star is written to star.shape in the current directory (through
// a temporary file) and read into a second, empty shape; the copy is drawn
// on the right of the original. `w` writes the record again. Escape quits.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

class recordsApp : public zeApp {
 public:
  zeShape* star = new zeShape(true, false, false);
  zeShape* copy = new zeShape(false, false, false);  // the record brings its own lists
  char status[128] = "";

  recordsApp() {
    zeTransformsInit();
    star->drawStyle = GL_TRIANGLE_FAN;
    star->addPoint(0.0f, 0.0f, 0.0f);
    star->setVertexColor(0, 1.0f, 1.0f, 1.0f, 1.0f);
    for (int k = 0; k <= 10; ++k) {
      const float r = k % 2 ? 50.0f : 120.0f, a = k * 0.62831853f;
      const int v = star->addPoint(r * std::sin(a), r * std::cos(a), 0.0f);
      star->setVertexColor(v, 0.2f + 0.08f * k, 0.3f, 1.0f - 0.08f * k, 1.0f);
    }
    save();
    if (FILE* in = std::fopen("star.shape", "rb")) {
      copy->readFromFile(in);  // mode, placement, every list: as written
      std::fclose(in);
    }
  }

  void save() {
    FILE* out = std::fopen("star.shape.tmp", "wb");  // binary mode: the record is raw bytes
    if (!out) {
      std::snprintf(status, sizeof status, "could not write star.shape");
      return;
    }
    star->writeToFile(out);
    const bool written = !std::ferror(out) && std::fclose(out) == 0;
    // Only a complete record takes the name: a failed write leaves the old file.
    if (written && std::rename("star.shape.tmp", "star.shape") == 0) {
      std::snprintf(status, sizeof status, "wrote star.shape: %d vertices", star->listLength);
    } else {
      std::remove("star.shape.tmp");
      std::snprintf(status, sizeof status, "could not write star.shape");
    }
  }

  void draw() override {
    zeTransformsCaptureCamera();
    star->Translation.set(W * 0.28f, H * 0.5f, 0.0f);
    copy->Translation.set(W * 0.72f, H * 0.5f, 0.0f);
    star->draw();
    copy->draw();
    zeuOverlayText(10.0f, H - 10.0f, status, 1.0f, 1.0f, 1.0f);
    zeuOverlayText(W * 0.72f - 80.0f, H * 0.5f - 150.0f, "read back", 1.0f, 1.0f, 1.0f);
  }

  void keyDown(char key) override {
    if (key == 'w') save();
    zeApp::keyDown(key);  // Escape still quits
  }
};

extern "C" zeApp* makeApp() {
  return new recordsApp();
}

int main() {
  zeuOpenWindow("records", 800, 600);
  makeApp()->selfStart();
  return 0;
}
