// drape's answer to the page's ?frames=N: the digest of its cloth after the
// N frames, the line the native build's digest tool prints for N.
#include <GL/freeglut.h>

#include <string>

#include "app/drapeApp.h"
#include "web/drape/clothDigest.h"
#include "web/platform/webPlatform.h"
#include "zeu/zeu.h"

namespace {

std::string drapeDigestLine(int frames) {
  const int window = glutGetWindow();
  const drapeApp* cloth =
      window >= 0 && window < 10 ? dynamic_cast<const drapeApp*>(apps[window]) : nullptr;
  return cloth ? clothDigestLine(frames, clothDigest(cloth->thread, 3600)) : "no cloth to digest";
}

// Set before main: drape's own sources stay those of the desktop program.
[[maybe_unused]] const bool reportSet = (zeWebSetFrameReport(drapeDigestLine), true);

}  // namespace
