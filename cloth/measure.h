// Figures of a cloth's state for people and benchmarks: how far its links
// are from their rest length and how much it moves.
#pragma once

#include "cloth/cloth.h"

namespace cloth {

/// The strain of the structural links (to the right and up) that are intact:
/// |length - rest| / rest of each.
struct StrainFigures {
  float largest = 0;       ///< the largest strain of any link
  float mean = 0;          ///< the mean over the links
  float percentile99 = 0;  ///< 99 % of the links are at most this
  long links = 0;          ///< intact structural links
};

/// The largest strain of the intact structural links at each node (0 where
/// a node has none) into perNode (nodeCount() values); returns the largest
/// of all. Allocates nothing.
float nodeStrains(const Cloth& cloth, float* perNode);

/// Largest, mean and 99th percentile of the structural links' strain. Sorts
/// a copy of the strains: for figures, not for every frame.
StrainFigures strainFigures(const Cloth& cloth);

/// The kinetic energy of the sheet, sum of m v^2 / 2 with each node's mass
/// (the sheet's unit areal density times the spacing squared); pinned nodes
/// count as still.
double kineticEnergy(const Cloth& cloth);

}  // namespace cloth
