// Start-up, the provisional reshape callback, the orderly shut-down and the
// levelled diagnostics.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "zeu/zeu.h"
#include "zeu/zeuHooks.h"

namespace {
// Idle calls left before the process exits once the shut-down has begun.
int winddownCount = 0;

// The start-up of zeuOpen (fullScreen true: title "zeu", full screen) and of
// zeuOpenWindow (a window of the given size and title).
void openFramework(const char* title, int width, int height, bool fullScreen) {
  // The toolkit never sees the real command line: one argument, "zeu".
  // The toolkit may keep argv, so it lives as long as the process.
  static char fakeName[] = "zeu";
  static char* fakeArgv[] = {fakeName, nullptr};
  static int fakeArgc = 1;

  zeuWindowWidth = 0;
  zeuWindowHeight = 0;
  frameDepth = 0;
  std::strcpy(zeuResourceLocation, "C:/zeWindow/");

  glutInit(&fakeArgc, fakeArgv);
  glutInitDisplayMode(static_cast<unsigned int>(zeuDisplayMode));
  if (fullScreen) {
    glutCreateWindow(title);
    glutFullScreen();
  } else {
    glutInitWindowSize(width, height);
    glutCreateWindow(title);
    // F1 goes to full screen first; the way back restores this window.
    aafullScreen = 0;
    aahaveShrunk = 1;
  }
  glutReshapeFunc(reshape);

  glEnable(GL_AUTO_NORMAL);
  glEnable(GL_NORMALIZE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  zeuDebugLevel = 3;
  zeuDebugStr = new char[64];

  zeuWindowClear = true;
  zeuWindowBgColor[0] = 0.0f;
  zeuWindowBgColor[1] = 0.0f;
  zeuWindowBgColor[2] = 0.0f;

  zeuVideoOpened = false;
  zeuVideoMirrorImage = false;
  zeuVideoProxyCount = -1;
  zeuVideoProxyRepeating = false;
  zeuVideoProxyRawWidth = 0;
  zeuVideoProxyRawHeight = 0;
  zeuVideoFPS = 15;

  zeuTesselator = nullptr;
  zeuTextInited = false;
  zeuTextInit();

  zeuScreenNear = 1.5f;
  zeuScreenFar = 20.0f;
  zeuScreenFov = 60.0f;

  zeuScreenGrabQuality = 100;
  zeuScreenGrabBuffer = nullptr;
  zeuScreenGrabFlip = true;
  zeuScreenGrabFlipper = nullptr;
  zeuScreenGrabFormat = 40;
  zeuScreenGrabX = 0;
  zeuScreenGrabY = 0;
  zeuScreenGrabWidth = 0;
  zeuScreenGrabHeight = 0;

  std::srand(static_cast<unsigned int>(std::time(nullptr)));
  zeuhooks::startClock();
}

}  // namespace

void zeuOpen() {
  openFramework("zeu", 0, 0, true);
}

void zeuOpenWindow(const char* title, int width, int height) {
  if (width <= 0 || height <= 0) {
    width = 640;
    height = 480;
  }
  openFramework(title ? title : "zeu", width, height, false);
}

void reshape(int width, int height) {
  zeuWindowWidth = width;
  zeuWindowHeight = height;
}

void zeuClose() {
  int size[2] = {100, 100};
  zeuSetIntegerv(ZEU_WINDOW_SIZE, size);
  glutIdleFunc(winddown_cb);
  winddownCount = 5;
}

void winddown_cb() {
  if (winddownCount == 1) {
    std::exit(0);
  } else if (winddownCount > 1) {
    winddownCount--;
  }
}

void zeuDebug(short level, const char* text) {
  if (level <= zeuDebugLevel) std::fprintf(stderr, "%s\n", text);
  if (level == 1) std::exit(-1);
}
