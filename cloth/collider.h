// What the cloth collides with. The cloth hands its nodes to one collider,
// band by band, once per step before the springs are evaluated; the collider
// moves the nodes it holds back onto its surface and marks them in contact.
// A height field (ground over the plane) is the first kind; drape's terrain
// is one. Colliders of other shapes, or several of them in one, fit the same
// interface, and the cloth's step does not change for them.
#pragma once

#include <cstdint>

#include "zeu/zeVec3f.h"

namespace cloth {

/// The nodes first .. end - 1 of a cloth, as one contact pass sees them.
struct ContactBand {
  zeVec3f* positions;     ///< every node's position, moved in place
  zeVec3f* velocities;    ///< every node's velocity
  uint8_t* contact;       ///< every node's contact flag (0 or 1), set on contact
  const uint8_t* pinned;  ///< non-zero for a pinned node, which is left alone
  int first;              ///< the band's first node
  int end;                ///< one past its last node
  bool stops;             ///< a node that touches loses its velocity
};

/// Something the cloth cannot pass through.
///
/// collide() is called for disjoint bands of the same cloth on several
/// threads at once, so it must change nothing but the band's nodes, and its
/// result for a node must depend on that node alone (then every thread count
/// gives the same bits).
class Collider {
 public:
  virtual ~Collider();
  /// Puts every node of the band that is not pinned and lies inside back
  /// onto the surface, sets its contact flag and, with band.stops, its
  /// velocity to zero. Nodes outside are left as they are.
  virtual void collide(const ContactBand& band) const = 0;
};

/// Ground given by its height over the plane: a node below the height under
/// it is lifted straight up onto it.
class HeightField : public Collider {
 public:
  /// The ground's height under (x, y).
  virtual float height(float x, float y) const = 0;
  void collide(const ContactBand& band) const override;
};

/// drape's terrain (cloth::terrainHeight) as a height field: what a cloth
/// stands on unless it is given something else.
class Terrain final : public HeightField {
 public:
  float height(float x, float y) const override;
  /// The same as the height field's, with the terrain called directly.
  void collide(const ContactBand& band) const override;
};

}  // namespace cloth
