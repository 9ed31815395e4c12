// Fitting a box of world positions into the window.
#pragma once

#include "viewer/shapeFile.h"

namespace shapeview {

struct Framing {
  zeVec3f centre;      // the point shown at the window centre
  float scale = 1.0f;  // world units to pixels on the plane z = 0
};

// The centre and scale that put the whole box, seen from any direction,
// inside the window of the standard 3D view (field of view fovDegrees
// vertically, the eye at the distance where z = 0 shows one unit per
// pixel), filling fill of the shorter side.
Framing frameBounds(const Bounds& bounds, int width, int height, float fovDegrees,
                    float fill = 0.9f);

}  // namespace shapeview
