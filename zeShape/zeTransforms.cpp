#include "zeShape/zeTransforms.h"

#include <GL/glu.h>

#include <cfloat>
#include <cstdint>

#include "zeShape/zeShapeLists.h"

zeMatrix4f zeMatrixStack[128];
int zeMatrixHeight = 0;
zeMatrix4f cameraMatrix;
int view[4];
zeVec3f cameraPos;

namespace {
bool initialised = false;
}  // namespace

void zeTransformsInit() {
  initialised = true;
  for (int i = 0; i < 128; i++) zeMatrixStack[i].setIdentity();
}

bool zeTransformsInitialised() {
  return initialised;
}

void zePushMatrix() {
  if (zeMatrixHeight >= 127) return;
  zeMatrixHeight++;
  zeMatrixStack[zeMatrixHeight].set(&zeMatrixStack[zeMatrixHeight - 1]);
}

void zePopMatrix() {
  if (zeMatrixHeight > 0) zeMatrixHeight--;
}

void zeTranslatef(float x, float y, float z) {
  zeMatrixStack[zeMatrixHeight].translate(x, y, z);
}

void zeRotatef(float angle, float x, float y, float z) {
  const float radians = (float)(angle * 3.141592653589793 * 0.005555555555555556);
  zeMatrixStack[zeMatrixHeight].rotgen(x, y, z, radians);
}

void zeScalef(float x, float y, float z) {
  zeMatrixStack[zeMatrixHeight].scale(x, y, z);
}

zeMatrix4f* getCurrentMatrix() {
  return &zeMatrixStack[zeMatrixHeight];
}

void zeTransformToReal(zeVec3f& in, zeVec3f& out) {
  zeMatrixStack[zeMatrixHeight].transform3(&in, &out);
}

void zeTransformsCaptureCamera() {
  double p[16];
  double mv[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  glGetIntegerv(GL_VIEWPORT, view);
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  for (int r = 0; r < 4; r++)
    for (int c = 0; c < 4; c++) cameraMatrix.m[r][c] = (float)p[c * 4 + r];

  const float winX = (float)((view[2] - view[0]) * 0.5);
  const float winY = (float)((view[3] - view[1]) * 0.5);
  double ox, oy, oz;
  // Singular matrices: keep the previous position rather than store garbage.
  if (gluUnProject(winX, winY, 0.0, mv, p, view, &ox, &oy, &oz) != GL_TRUE) return;
  cameraPos.set((float)ox, (float)oy, (float)oz);
}

void zeTransformRealToScreen(zeVec3f& in, zeVec3f& out) {
  float clip[4] = {in.x, in.y, in.z, 1.0f};
  float proj[4];
  cameraMatrix.transform4(clip, proj);
  if (proj[3] == 0.0f) {
    // A point in the plane of the eye has no window position. Put it far
    // outside every finite region and behind the near plane (z < 0), so
    // region tests miss it and triangle picking skips it.
    out.set(-FLT_MAX, -FLT_MAX, -1.0f);
    return;
  }
  out.x = (float)((proj[0] / proj[3] + 1.0) * view[2] * 0.5 + view[0]);
  out.y = (float)((proj[1] / proj[3] + 1.0) * view[3] * 0.5 + view[1]);
  out.z = (float)((1.0 + proj[2]) * 0.5);
}

// zeTransformToReal and zeTransformRealToScreen over a whole list, with the
// matrices and viewport read once: the same operations in the same order,
// so the same bits, without two calls and two matrix reads per vertex.
void zeTransformListToRealAndScreen(const zeVec3f* in, zeVec3f* real, zeVec3f* screen, int32_t n) {
  const zeMatrix4f& t = zeMatrixStack[zeMatrixHeight];
  float a[3][4];
  for (int r = 0; r < 3; r++)
    for (int c = 0; c < 4; c++) a[r][c] = t.m[r][c];
  float p[4][4];
  for (int r = 0; r < 4; r++)
    for (int c = 0; c < 4; c++) p[r][c] = cameraMatrix.m[r][c];
  const int v0 = view[0], v1 = view[1], v2 = view[2], v3 = view[3];
  for (int32_t i = 0; i < n; i++) {
    const float x = in[i].x, y = in[i].y, z = in[i].z;
    const float rx = a[0][0] * x + a[0][1] * y + a[0][2] * z + a[0][3];
    const float ry = a[1][0] * x + a[1][1] * y + a[1][2] * z + a[1][3];
    const float rz = a[2][0] * x + a[2][1] * y + a[2][2] * z + a[2][3];
    real[i].set(rx, ry, rz);
    float proj[4];
    for (int k = 0; k < 4; k++)
      proj[k] = p[k][0] * rx + p[k][1] * ry + p[k][2] * rz + p[k][3] * 1.0f;
    if (proj[3] == 0.0f) {
      screen[i].set(-FLT_MAX, -FLT_MAX, -1.0f);
      continue;
    }
    screen[i].x = (float)((proj[0] / proj[3] + 1.0) * v2 * 0.5 + v0);
    screen[i].y = (float)((proj[1] / proj[3] + 1.0) * v3 * 0.5 + v1);
    screen[i].z = (float)((1.0 + proj[2]) * 0.5);
  }
}
