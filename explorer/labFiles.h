// The files of the lab's keys p, o, w and s: a PNG of the window, the cloth
// as an OBJ and as a shape record, and its scene. Each is named
// drape-<frame>.<ext> in the current directory (with a number added rather
// than over an existing file) and reports "wrote <name>" on standard output
// or "could not write <name>: <reason>" on standard error. True when written.
#pragma once

#include <string>

#include "cloth/cloth.h"
#include "zeShape/zeNiceShapes.h"

namespace explorer {

/// drape-<frame><ext> (frame in five digits), or that name with a number
/// added when it exists already.
std::string keptFileName(int frame, const char* ext);

/// p: the window's pixels as they are now.
bool savePicture(int frame);
/// o: the cloth through its mesh (positions, normals, the faces left).
bool saveObj(const cloth::Cloth& cloth, zeMeshShape& mesh);
/// w: the same mesh as one shape record.
bool saveShape(const cloth::Cloth& cloth, zeMeshShape& mesh);
/// s: the cloth's scene, which --scene opens again.
bool saveScene(const cloth::Cloth& cloth);

}  // namespace explorer
