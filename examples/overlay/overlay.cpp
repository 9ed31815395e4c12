// overlay: text over the finished frame, with frame timing. The overlay
// shows the frames per second (averaged over half a second), the last
// frame's time from zeuFrameSeconds and the time since start-up; a bar
// sweeps across the window at 200 pixels a second whatever the frame rate.
// Escape quits.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "zeu/zeApp.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

class overlayApp : public zeApp {
 public:
  float x = 0.0f;      // of the sweeping bar, pixels
  int frames = 0;      // since the last rate update
  double since = 0.0;  // when the rate was last updated
  float rate = 0.0f;

  void draw() override {
    const float dt = zeuFrameSeconds();
    x = std::fmod(x + 200.0f * dt, W > 40.0f ? W - 40.0f : 1.0f);
    ++frames;
    const double now = zeuElapsedSeconds();
    if (now - since >= 0.5) {
      rate = static_cast<float>(frames / (now - since));
      frames = 0;
      since = now;
    }

    glDisable(GL_LIGHTING);  // a flat colour, no shading
    glColor3f(1.0f, 0.6f, 0.1f);
    glBegin(GL_QUADS);
    glVertex3f(x, H * 0.3f, 0.0f);
    glVertex3f(x + 40.0f, H * 0.3f, 0.0f);
    glVertex3f(x + 40.0f, H * 0.7f, 0.0f);
    glVertex3f(x, H * 0.7f, 0.0f);
    glEnd();

    char text[160];
    std::snprintf(text, sizeof text,
                  "%.1f frames a second\nlast frame %.2f ms\n%.1f s since start-up",
                  rate > 0.0f ? rate : (dt > 0.0f ? 1.0f / dt : 0.0f), dt * 1000.0f, now);
    zeuOverlayText(10.0f, H - 10.0f, text, 1.0f, 1.0f, 1.0f);
    zeuOverlayText(10.0f, 10.0f + ZEU_OVERLAY_LINE_HEIGHT, "Escape quits", 0.6f, 0.6f, 0.6f);
  }
};

extern "C" zeApp* makeApp() {
  return new overlayApp();
}

int main() {
  zeuOpenWindow("overlay", 800, 600);
  makeApp()->selfStart();
  return 0;
}
