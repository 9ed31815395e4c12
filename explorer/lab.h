// The cloth lab's hands, apart from any window: which links a stroke of the
// pointer crosses in the window, the surface without the faces of cut links,
// and where on the plane that faces the viewer a held node goes.
#pragma once

#include "cloth/cloth.h"
#include "zeShape/zeNiceShapes.h"
#include "zeu/zeMatrix4f.h"

namespace explorer {

// True when the window segments a-b and c-d cross or touch.
bool segmentsCross(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                   double dy);

// Cuts every link of the cloth whose window segment (screen[n] to its right
// or upper neighbour) the stroke from (x0, y0) to (x1, y1) crosses; links
// with an end that was not drawn are left. Returns the number cut.
int cutAlong(cloth::Cloth& cloth, const zeVec3f* screen, float x0, float y0, float x1, float y1);

// Makes the mesh's strips again from the cloth's links: a triangle whose
// grid edges are not both intact loses its face, and each strip is broken
// around it. With every link intact this is the mesh's own grid of strips.
void buildFaces(const cloth::Cloth& cloth, zeMeshShape& mesh);

// Depth after the division by w of model point p drawn through `space` and
// the captured camera: -1 on the near plane, 1 on the far one. False when p
// is not in front of the eye.
bool windowDepth(const zeMatrix4f& space, const zeVec3f& p, double& depth);

// The model point drawn at window (x, y) with that depth through `space`
// and the captured camera: on the plane through the point of that depth
// that faces the viewer. False when the matrices cannot be inverted.
bool unproject(const zeMatrix4f& space, float x, float y, double depth, zeVec3f& out);

}  // namespace explorer
