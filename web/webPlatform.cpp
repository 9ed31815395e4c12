// The browser build's side of the platform layer: the GL entry points the
// emulation lacks or gets wrong, and the frame hook that stops the program
// after the number of frames the page's address asks for.
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <string>

#include "app/drapeApp.h"
#include "web/clothDigest.h"
#include "web/webGl.h"
#include "zeu/zeu.h"

// From web/drapeWeb.js.
extern "C" int zeWebFrameLimit();
extern "C" void zeWebFinish(const char* line);

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
}  // namespace

// The browser presents the canvas by itself, so a swap only ends a frame.
extern "C" void glutSwapBuffers() {
  ++framesShown;
  if (frameLimit < 0) frameLimit = zeWebFrameLimit();
  if (frameLimit == 0 || framesShown != frameLimit) return;
  const int window = glutGetWindow();
  const drapeApp* cloth =
      window >= 0 && window < 10 ? dynamic_cast<const drapeApp*>(apps[window]) : nullptr;
  const std::string line =
      cloth ? clothDigestLine(framesShown, clothDigest(cloth->thread, 3600)) : "no cloth to digest";
  zeWebFinish(line.c_str());
}
