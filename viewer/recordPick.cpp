#include "viewer/recordPick.h"

#include <cstdio>

#include "viewkit/picking.h"

namespace shapeview {

RecordPick pickRecord(ShapeFile& file, float x, float y) {
  RecordPick best;
  float bestDepth = 0.0f;
  for (size_t k = 0; k < file.records.size(); ++k) {
    zeShape& shape = *file.records[k].shape;
    const int v = viewkit::nearestVertex(shape, x, y);
    if (v < 0) continue;
    // Shapes overlap on the screen: the one nearer the eye is the one seen.
    const float depth = shape.screenVertexList[v].z;
    if (best.record < 0 || depth < bestDepth) {
      best.record = static_cast<int>(k);
      best.vertex = v;
      bestDepth = depth;
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
