#include "viewkit/picking.h"

namespace viewkit {

int nearestVertex(zeShape& shape, float x, float y) {
  if (!shape.pointInside(x, y)) return -1;
  int best = -1;
  float bestDistance = 0.0f;
  for (int32_t v = 0; v < shape.listLength; ++v) {
    const zeVec3f& w = shape.screenVertexList[v];
    if (w.z < 0.0f) continue;
    const float dx = w.x - x, dy = w.y - y;
    const float d = dx * dx + dy * dy;
    if (best == -1 || d < bestDistance) {
      best = v;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace viewkit
