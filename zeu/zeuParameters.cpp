// The integer parameter interface: each code names one or more int globals,
// read or written in a fixed order.
#include <GL/freeglut.h>

#include <cstdlib>

#include "zeu/zeu.h"

namespace {

struct Parameter {
  short code;
  bool settable;
  int count;
  int* globals[4];
};

const Parameter kParameters[] = {
    {ZEU_DEBUG_LEVEL, true, 1, {&zeuDebugLevel}},
    {ZEU_WINDOW_WIDTH, false, 1, {&zeuWindowWidth}},
    {ZEU_WINDOW_HEIGHT, false, 1, {&zeuWindowHeight}},
    {ZEU_WINDOW_SIZE, true, 2, {&zeuWindowWidth, &zeuWindowHeight}},
    {ZEU_SCREEN_GRAB_QUALITY, true, 1, {&zeuScreenGrabQuality}},
    {ZEU_SCREEN_GRAB_FORMAT, true, 1, {&zeuScreenGrabFormat}},
    {ZEU_SCREEN_GRAB_X, true, 1, {&zeuScreenGrabX}},
    {ZEU_SCREEN_GRAB_Y, true, 1, {&zeuScreenGrabY}},
    {ZEU_SCREEN_GRAB_WIDTH, true, 1, {&zeuScreenGrabWidth}},
    {ZEU_SCREEN_GRAB_HEIGHT, true, 1, {&zeuScreenGrabHeight}},
    {ZEU_SCREEN_GRAB_RECT,
     true,
     4,
     {&zeuScreenGrabX, &zeuScreenGrabY, &zeuScreenGrabWidth, &zeuScreenGrabHeight}},
    {ZEU_TIME_STEP, true, 1, {&zeuTimeStep}},
    {ZEU_VIDEO_WIDTH, false, 1, {&zeuVideoWidth}},
    {ZEU_VIDEO_HEIGHT, false, 1, {&zeuVideoHeight}},
    {ZEU_VIDEO_SIZE, false, 2, {&zeuVideoWidth, &zeuVideoHeight}},
    {ZEU_VIDEO_ARRAY_WIDTH, true, 1, {&zeuVideoArrayWidth}},
    {ZEU_VIDEO_ARRAY_HEIGHT, true, 1, {&zeuVideoArrayHeight}},
    {ZEU_VIDEO_ARRAY_SIZE, true, 2, {&zeuVideoArrayWidth, &zeuVideoArrayHeight}},
    {ZEU_VIDEO_FPS, true, 1, {&zeuVideoFPS}},
    {ZEU_VIDEO_PROXY_COUNT, true, 1, {&zeuVideoProxyCount}},
    {ZEU_VIDEO_PROXY_RAW_WIDTH, true, 1, {&zeuVideoProxyRawWidth}},
    {ZEU_VIDEO_PROXY_RAW_HEIGHT, true, 1, {&zeuVideoProxyRawHeight}},
};

const Parameter* findParameter(short code) {
  for (const Parameter& p : kParameters)
    if (p.code == code) return &p;
  return nullptr;
}

}  // namespace

void zeuGetIntegerv(short code, int* values) {
  const Parameter* p = findParameter(code);
  if (!p) {
    zeuDebug(2, "Bad parameter passed to zeuGetIntegerv");
    return;
  }
  for (int i = 0; i < p->count; i++) values[i] = *p->globals[i];
}

void zeuSetIntegerv(short code, int* values) {
  const Parameter* p = findParameter(code);
  if (!p || !p->settable) {
    zeuDebug(2, "Bad parameter passed to zeuSetIntegerv");
    return;
  }
  for (int i = 0; i < p->count; i++) *p->globals[i] = values[i];
  if (code == ZEU_WINDOW_SIZE) {
    // The toolkit resizes later and then reports the size the window really got.
    glutReshapeWindow(zeuWindowWidth, zeuWindowHeight);
    std::free(zeuScreenGrabBuffer);
    std::free(zeuScreenGrabFlipper);
    zeuScreenGrabBuffer = nullptr;
    zeuScreenGrabFlipper = nullptr;
  }
}

int zeuGetInteger(short code) {
  // Room for the widest code, so a multi-value code cannot overrun; a bad
  // code writes nothing and reads as 0.
  int values[4] = {0, 0, 0, 0};
  zeuGetIntegerv(code, values);
  return values[0];
}
