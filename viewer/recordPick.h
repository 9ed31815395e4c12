// Which record and vertex a click in shapeView's window is on.
#pragma once

#include <string>

#include "viewer/shapeFile.h"

namespace shapeview {

struct RecordPick {
  int record = -1;  // -1: the click is on no shape
  int vertex = -1;
};

// Among the records whose shape the window point (x, y) is on (as their last
// draw with picking on left them), the one whose surface at the point lies
// in front; its vertex nearest the point on that surface.
RecordPick pickRecord(ShapeFile& file, float x, float y);

// "record <k> vertex <i> (<x>, <y>, <z>)", the vertex's position in the file.
std::string pickLine(const ShapeFile& file, const RecordPick& pick);

}  // namespace shapeview
