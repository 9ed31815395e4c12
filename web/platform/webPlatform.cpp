// The browser build's side of the platform layer: the GL entry points the
// emulation lacks or gets wrong, and the frame hook that stops a program
// after the number of frames the page's address asks for.
#include "web/platform/webPlatform.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include "web/platform/webGl.h"

// From web/platform/webFrames.js.
extern "C" int zeWebFrameLimit();
extern "C" void zeWebFinish(const char* line);
// From web/platform/webText.js.
extern "C" void zeWebShowText();

// The 9 x 15 font's handle: its address names it. The page draws the text
// (webText.js), since WebGL has no bitmaps to raster.
extern "C" {
void* glutBitmap9By15 = nullptr;
}

extern "C" void glGetDoublev(GLenum pname, GLdouble* params) {
  zeWebGetDoublev(pname, params);
}

extern "C" void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  zeWebPerspective(fovy, aspect, zNear, zFar);
}

extern "C" void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                          GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                          GLdouble upZ) {
  zeWebLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

namespace {
int framesShown = 0;
int frameLimit = -1;  // read from the page at the first frame; 0: run on
zeWebFrameReport frameReport = nullptr;
}  // namespace

void zeWebSetFrameReport(zeWebFrameReport report) {
  frameReport = report;
}

void zeWebFinishWith(const std::string& line) {
  zeWebFinish(line.c_str());
}

// The browser presents the canvas by itself, so a swap only ends a frame.
extern "C" void glutSwapBuffers() {
  ++framesShown;
  zeWebShowText();
  if (!frameReport) return;
  if (frameLimit < 0) frameLimit = zeWebFrameLimit();
  if (frameLimit == 0 || framesShown != frameLimit) return;
  zeWebFinishWith(frameReport(framesShown));
}
