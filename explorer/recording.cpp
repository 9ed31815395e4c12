#include "explorer/recording.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "explorer/labFiles.h"
#include "viewkit/view/screenshot.h"
#include "zeu/zeu.h"

namespace explorer {

bool Recording::toggle(int frame, float fps) {
  if (recorder_.recording()) return stop();
  const int width = zeuWindowWidth & ~1, height = zeuWindowHeight & ~1;
  const double rate = fps > 0.0f ? std::round(fps) : 60.0;
  const std::string name = keptFileName(frame, ".mp4");
  std::string error;
  if (!recorder_.start(name, width, height, rate, error)) {
    std::fprintf(stderr, "could not record: %s\n", error.c_str());
    return false;
  }
  return true;
}

bool Recording::stop() {
  std::string line;
  const bool ok = recorder_.stop(line);
  std::fprintf(ok ? stdout : stderr, "%s\n", line.c_str());
  if (ok) std::fflush(stdout);
  return ok;
}

void Recording::takeFrame() {
  if (!recorder_.recording()) return;
  if (recorder_.failed()) {
    stop();  // ffmpeg has ended: say why, leave no file
    return;
  }
  viewkit::recordWindowFrame(recorder_, zeuWindowWidth, zeuWindowHeight);
}

}  // namespace explorer
