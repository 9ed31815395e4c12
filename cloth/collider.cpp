#include "cloth/collider.h"

#include "cloth/terrain.h"

namespace cloth {

namespace {

// The lift of a height field, with the height given as any callable so that
// a known field is called without a virtual call per node. The band's
// pointers are held in locals: the flag writes may alias anything, and the
// loop should not read them again after each one.
template <class Height>
void lift(const ContactBand& band, const Height& height) {
  zeVec3f* const pos = band.positions;
  zeVec3f* const vel = band.velocities;
  uint8_t* const contact = band.contact;
  const uint8_t* const pinned = band.pinned;
  const bool stops = band.stops;
  for (int n = band.first, end = band.end; n < end; ++n) {
    if (pinned[n]) continue;
    zeVec3f& p = pos[n];
    const float ground = height(p.x, p.y);
    if (ground > p.z) {
      p.z = ground;
      contact[n] = 1;
      if (stops) vel[n] = zeVec3f();
    }
  }
}

}  // namespace

Collider::~Collider() = default;

void HeightField::collide(const ContactBand& band) const {
  lift(band, [this](float x, float y) { return height(x, y); });
}

float Terrain::height(float x, float y) const {
  return terrainHeight(x, y);
}

void Terrain::collide(const ContactBand& band) const {
  lift(band, terrainHeight);
}

}  // namespace cloth
