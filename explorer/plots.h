// The two figures the panels plot over the last ten seconds: the cloth's
// largest link strain and its kinetic energy, sampled after each step.
#pragma once

#include <vector>

#include "cloth/cloth.h"
#include "explorer/figureHistory.h"

namespace explorer {

class Plots {
 public:
  /// Room for a cloth of size x size nodes; nothing is allocated per frame.
  explicit Plots(int size);
  /// A cloth of another size.
  void resize(int size);
  /// The cloth after a step, at time t (seconds).
  void sample(const cloth::Cloth& cloth, double t);
  /// Forgets the past (a restart).
  void clear();

  /// The last ten seconds, oldest first, as the panels draw them.
  const float* strain() const { return strainOut_.data(); }
  int strainCount() const { return strainCount_; }
  const float* energy() const { return energyOut_.data(); }
  int energyCount() const { return energyCount_; }

 private:
  FigureHistory strain_, energy_;
  std::vector<float> scratch_, strainOut_, energyOut_;
  int strainCount_ = 0, energyCount_ = 0;
};

}  // namespace explorer
