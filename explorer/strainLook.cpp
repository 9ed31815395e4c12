#include "explorer/strainLook.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>

#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

namespace explorer {

namespace {

// Evenly spaced stops from 0 to the top of the scale.
constexpr float kStops[][3] = {
    {0.15f, 0.25f, 0.95f}, {0.15f, 0.80f, 0.90f}, {0.20f, 0.85f, 0.25f},
    {0.95f, 0.85f, 0.15f}, {0.95f, 0.15f, 0.10f},
};
constexpr int kStopCount = sizeof kStops / sizeof kStops[0];

constexpr float kBarWidth = 200.0f;
constexpr float kBarHeight = 12.0f;
constexpr int kBarSteps = 40;

}  // namespace

void strainColour(float strain, float rgb[3]) {
  // A NaN strain lands on the top of the scale, where it shows.
  float t = strain / kStrainScaleTop;
  if (!(t >= 0.0f)) t = t < 0.0f ? 0.0f : 1.0f;
  if (t > 1.0f) t = 1.0f;
  const float at = t * (kStopCount - 1);
  const int low = std::min(static_cast<int>(at), kStopCount - 2);
  const float f = at - static_cast<float>(low);
  for (int c = 0; c < 3; ++c) rgb[c] = kStops[low][c] + (kStops[low + 1][c] - kStops[low][c]) * f;
}

void paintStrains(const float* strains, int count, zeVec4f* colours) {
  float rgb[3];
  for (int n = 0; n < count; ++n) {
    strainColour(strains[n], rgb);
    colours[n].x = rgb[0];
    colours[n].y = rgb[1];
    colours[n].z = rgb[2];
    colours[n].w = 1.0f;
  }
}

void drawStrainScale(float left, float bottom, float largest) {
  zeuBeginOverlay();
  glBegin(GL_QUADS);
  float rgb[3];
  for (int k = 0; k < kBarSteps; ++k) {
    strainColour(kStrainScaleTop * (k + 0.5f) / kBarSteps, rgb);
    glColor3f(rgb[0], rgb[1], rgb[2]);
    const float x0 = left + kBarWidth * k / kBarSteps, x1 = left + kBarWidth * (k + 1) / kBarSteps;
    glVertex3f(x0, bottom, 0.0f);
    glVertex3f(x1, bottom, 0.0f);
    glVertex3f(x1, bottom + kBarHeight, 0.0f);
    glVertex3f(x0, bottom + kBarHeight, 0.0f);
  }
  glEnd();
  zeuEndOverlay();
  const float top = bottom + kBarHeight + 2.0f + 15.0f;
  zeuOverlayText(left - 4.0f, top, "0 %", 0.9f, 0.9f, 0.9f);
  zeuOverlayText(left + kBarWidth - 18.0f, top, "10 %", 0.9f, 0.9f, 0.9f);
  char title[48];
  std::snprintf(title, sizeof title, "strain, largest %.2f %%", largest * 100.0f);
  zeuOverlayText(left, top + 15.0f, title, 0.9f, 0.9f, 0.9f);
}

}  // namespace explorer
