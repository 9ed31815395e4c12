#include <cmath>

#include "explorer/scene.h"
#include "tests/fuzz/explorerFuzzChecks.h"

namespace explorerfuzz {

namespace {

bool finite(const zeVec3f* v, int count) {
  for (int n = 0; n < count; ++n)
    if (!std::isfinite(v[n].x) || !std::isfinite(v[n].y) || !std::isfinite(v[n].z)) return false;
  return true;
}

}  // namespace

std::string checkScene(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  std::unique_ptr<cloth::Cloth> c = explorer::clothFromScene(text, 1, error);
  if (!c) {
    if (error.empty() || error.find('\n') != std::string::npos)
      return "refused without one line of reason: '" + error + "'";
    return "";
  }
  if (!error.empty()) return "accepted with an error: " + error;

  std::string written, again, reason;
  if (!explorer::sceneText(*c, written, reason))
    return "an accepted scene is not written: " + reason;
  std::unique_ptr<cloth::Cloth> reread = explorer::clothFromScene(written, 1, reason);
  if (!reread) return "a written scene is refused: " + reason;
  if (!explorer::sceneText(*reread, again, reason)) return "a reread scene is not written";
  if (again != written) return "a scene written, read and written again changed";

  for (int frame = 1; frame <= 10; ++frame) {
    c->advance();
    if (!finite(c->positions(), c->nodeCount()) || !finite(c->velocities(), c->nodeCount()))
      return "a node is not finite at frame " + std::to_string(frame) + " after opening";
  }
  return "";
}

}  // namespace explorerfuzz
