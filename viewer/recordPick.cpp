#include "viewer/recordPick.h"

#include <cstdio>

#include "viewkit/view/picking.h"

namespace shapeview {

RecordPick pickRecord(ShapeFile& file, float x, float y) {
  RecordPick best;
  double bestDepth = 0.0;
  for (size_t k = 0; k < file.records.size(); ++k) {
    const viewkit::SurfacePick pick = viewkit::pickSurface(*file.records[k].shape, x, y);
    if (pick.vertex < 0) continue;
    // Shapes overlap on the screen: the one nearer the eye at the pointer
    // is the one seen.
    if (best.record < 0 || pick.depth < bestDepth) {
      best.record = static_cast<int>(k);
      best.vertex = pick.vertex;
      bestDepth = pick.depth;
    }
  }
  return best;
}

std::string pickLine(const ShapeFile& file, const RecordPick& pick) {
  const zeVec3f& p = file.records[pick.record].shape->vertexList[pick.vertex];
  char line[256];  // room for three floats of any size
  std::snprintf(line, sizeof line, "record %d vertex %d (%.2f, %.2f, %.2f)", pick.record,
                pick.vertex, static_cast<double>(p.x), static_cast<double>(p.y),
                static_cast<double>(p.z));
  return line;
}

}  // namespace shapeview
