// drape's terrain: the height of the ground the cloth falls onto, a function
// of the horizontal position alone. drape's application and the cloth
// component both stand on it.
#pragma once

namespace cloth {

/// The terrain height under the cloth-space point (x, y): a fixed chain of
/// piecewise rules over the plane with a floor at 4, so never below 4; a
/// coordinate that is not a number gives the floor.
float terrainHeight(float x, float y);

}  // namespace cloth
