// The frame stack around OpenGL's projection and modelview matrices, and the
// standard 3D view in which the plane z = 0 shows the window one unit per
// pixel with (0, 0) at the lower-left corner.
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

#include "zeu/zeu.h"

namespace {

// View constants; the load-time values serve until the first recomputation.
float toloEyeDistance = 100.0f;
float toloNear = 10.0f;
float toloFar = 1000.0f;
float toloAspect = 4.0f / 3.0f;
float toloCenterX = 320.0f;
float toloCenterY = 240.0f;

// Window size the constants were last computed for.
int toloCachedWidth = 0;
int toloCachedHeight = 0;

}  // namespace

void frameStepUp() {
  if (frameDepth > 10) {
    char text[80];
    std::snprintf(text, sizeof text, "Warning, frameDepth already at %d\n", frameDepth);
    zeuDebug(2, text);
  }
  if (frameDepth == 0) {
    glViewport(0, 0, zeuWindowWidth, zeuWindowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  } else {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
  }
  frameDepth++;
}

void frameStepDown() {
  // An unmatched close would drive the depth negative and pop matrices that
  // were never pushed; refuse it instead.
  if (frameDepth <= 0) {
    char text[80];
    std::snprintf(text, sizeof text, "Warning, frameDepth already at %d", frameDepth);
    zeuDebug(2, text);
    return;
  }
  frameDepth--;
  if (frameDepth == 0) {
    glutSwapBuffers();
  } else {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
  }
}

void updateToloViewConstants() {
  // A zero height (e.g. a minimised window) has no aspect; keep the last view.
  if (zeuWindowHeight == 0) return;
  toloCenterX = zeuWindowWidth * 0.5;
  toloCenterY = zeuWindowHeight * 0.5;
  const float halfFov = zeuScreenFov * M_PI * (1.0 / 360.0);
  const float tangent = std::tan(static_cast<double>(halfFov));
  toloEyeDistance = toloCenterY / tangent;
  toloNear = toloEyeDistance * 0.1;
  toloFar = toloEyeDistance * 10.0;
  toloAspect = static_cast<float>(zeuWindowWidth) / static_cast<float>(zeuWindowHeight);
}

void zeuOpenToloFrame() {
  const bool outermost = frameDepth == 0;
  frameStepUp();

  // The cache is left alone for a zero height, so the next real size recomputes.
  if (outermost && zeuWindowHeight != 0 &&
      (toloCachedHeight != zeuWindowHeight || toloCachedWidth != zeuWindowWidth)) {
    toloCachedHeight = zeuWindowHeight;
    toloCachedWidth = zeuWindowWidth;
    updateToloViewConstants();
  }

  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glShadeModel(GL_SMOOTH);

  if (outermost && zeuWindowClear) {
    glClearColor(zeuWindowBgColor[0], zeuWindowBgColor[1], zeuWindowBgColor[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glDisable(GL_TEXTURE_2D);

  if (outermost) {
    // Directional light from the eye towards the origin, set while the
    // modelview matrix is still the identity.
    const GLfloat lightPosition[4] = {toloCenterX, toloCenterY, toloEyeDistance, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);

    // The whole camera lives in the projection matrix, so the modelview
    // matrix holds pure model transforms.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(zeuScreenFov, toloAspect, toloNear, toloFar);
    gluLookAt(toloCenterX, toloCenterY, toloEyeDistance, toloCenterX, toloCenterY, 0.0, 0.0, 1.0,
              0.0);
    glMatrixMode(GL_MODELVIEW);
  }
}

void zeuCloseToloFrame() {
  frameStepDown();
}
