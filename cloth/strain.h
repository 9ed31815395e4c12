// How far the cloth's structural links (each node's links to the right and
// up neighbours) are stretched: strain = length / rest length - 1, signed.
#pragma once

#include <vector>

namespace cloth {

class Cloth;

/// Figures over every intact structural link.
struct StrainFigures {
  double largest = 0;  ///< the largest strain (0 when no link stretches)
  double p99 = 0;      ///< the 99th percentile
  double mean = 0;     ///< the mean (of the signed strains)
  int links = 0;       ///< intact links counted
};

/// The figures of the cloth as it is; scratch holds the strains (its
/// capacity is kept, so a caller that passes the same vector allocates once).
StrainFigures structuralStrain(const Cloth& cloth, std::vector<float>& scratch);

/// Each node's largest strain over its intact structural links (0 when it
/// has none stretched), into out[0 .. nodeCount). Allocates nothing.
void nodeStrains(const Cloth& cloth, float* out);

}  // namespace cloth
