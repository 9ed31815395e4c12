// The shapes cloth is dropped on, as signed distances: negative inside,
// positive outside, with the outward unit normal of the nearest surface.
// Single precision throughout, in a fixed order of operations, so that a
// node's contact is the same bits on any thread and in the browser.
#pragma once

#include "zeu/zeVec3f.h"

namespace cloth {

/// A ball.
struct SphereShape {
  zeVec3f centre;
  float radius = 1;
  float distance(const zeVec3f& p, zeVec3f& normal) const;
};

/// A box: its centre, half its extent along each of its axes, and its axes
/// (unit vectors at right angles).
struct BoxShape {
  zeVec3f centre;
  zeVec3f half{1, 1, 1};
  zeVec3f axis[3] = {zeVec3f(1, 0, 0), zeVec3f(0, 1, 0), zeVec3f(0, 0, 1)};
  /// Turns the box by `degrees` about the x axis (a tilt of its top).
  void tiltAboutX(float degrees);
  float distance(const zeVec3f& p, zeVec3f& normal) const;
};

/// The plane z = height, solid below.
struct GroundShape {
  float height = 0;
  float distance(const zeVec3f& p, zeVec3f& normal) const {
    normal = zeVec3f(0.0f, 0.0f, 1.0f);
    return p.z - height;
  }
};

}  // namespace cloth
