// Reading the window back for a screenshot.
#include "viewkit/screenshot.h"

#include <GL/gl.h>

#include <vector>

#include "viewkit/safeFile.h"

namespace viewkit {

bool saveWindowPng(const std::string& path, int width, int height, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "the window has no size";
    return false;
  }
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  std::string pngError;
  const bool ok = writeFileAtomically(
      path, [&](FILE* f) { return writePng(f, width, height, rgb.data(), pngError); }, error);
  if (!ok && !pngError.empty()) error = pngError;
  return ok;
}

}  // namespace viewkit
