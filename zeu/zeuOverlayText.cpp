#include "zeu/zeuOverlayText.h"

#include <GL/freeglut.h>

#include "zeu/zeu.h"

namespace {
// The 9 x 15 font's glyphs reach 3 pixels below the baseline; the rest of a
// line's height sits above it.
constexpr float kBaselineFromTop = 13.0f;
}  // namespace

void zeuBeginOverlay() {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);

  // One unit per window pixel, whatever the frame's own view is.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, zeuWindowWidth, 0.0, zeuWindowHeight, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void zeuEndOverlay() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

void zeuOverlayText(float left, float top, const char* text, float r, float g, float b) {
  zeuBeginOverlay();

  glColor3f(r, g, b);  // latched by each glRasterPos
  float y = top - kBaselineFromTop;
  glRasterPos2f(left, y);
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') {
      y -= static_cast<float>(ZEU_OVERLAY_LINE_HEIGHT);
      glRasterPos2f(left, y);
    } else {
      glutBitmapCharacter(GLUT_BITMAP_9_BY_15, static_cast<unsigned char>(*c));
    }
  }

  zeuEndOverlay();
}
