// How much a cloth moves, for people and benchmarks (how far its links
// stretch is in cloth/strain.h).
#pragma once

#include "cloth/cloth.h"

namespace cloth {

/// The kinetic energy of the sheet, sum of m v^2 / 2 with each node's mass
/// (the sheet's unit areal density times the spacing squared); pinned nodes
/// count as still.
double kineticEnergy(const Cloth& cloth);

}  // namespace cloth
