// Reading the window back for a screenshot.
#include "viewkit/view/screenshot.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "viewkit/files/png.h"
#include "viewkit/files/safeFile.h"
#include "viewkit/files/videoRecorder.h"

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

void recordWindowFrame(VideoRecorder& recorder, int windowWidth, int windowHeight) {
  unsigned char* frame = recorder.frameSlot();
  if (frame == nullptr) return;
  const int width = recorder.width(), height = recorder.height();
  const int readWidth = std::min(width, windowWidth), readHeight = std::min(height, windowHeight);
  if (readWidth < width || readHeight < height)
    std::memset(frame, 0, static_cast<size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, width);
  if (readWidth > 0 && readHeight > 0)
    glReadPixels(0, 0, readWidth, readHeight, GL_RGB, GL_UNSIGNED_BYTE, frame);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  recorder.submitFrame();
}

}  // namespace viewkit
