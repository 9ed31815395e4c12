// What the cloth collides with, as shapes to draw: lit, with per-vertex
// normals, each made once around its own centre and placed by its
// Translation (so a ball that moves is only moved).
#pragma once

#include "cloth/colliderShapes.h"
#include "cloth/triangleMesh.h"
#include "zeShape/zeShape.h"

namespace explorer {

/// A ball of the radius about the origin, in triangles: `rings` bands from
/// pole to pole and twice as many around.
zeShape* newBallShape(float radius, int rings = 24);
/// A box's six faces about its centre, turned by its axes.
zeShape* newBoxShape(const cloth::BoxShape& box);
/// A closed triangle mesh as read, in place (Translation zero).
zeShape* newTriangleMeshShape(const cloth::TriangleMesh& mesh);
/// The ground plane z = height as a square of the given half side.
zeShape* newGroundShape(float height, float half);

/// Deletes a shape made by the functions above.
void deleteObstacleShape(zeShape* shape);

}  // namespace explorer
