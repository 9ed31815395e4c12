#include "explorer/plots.h"

#include <algorithm>

#include "cloth/measure.h"
#include "cloth/strain.h"

namespace explorer {

Plots::Plots(int size)
    : strainOut_(static_cast<size_t>(strain_.capacity())),
      energyOut_(static_cast<size_t>(energy_.capacity())) {
  resize(size);
}

void Plots::resize(int size) {
  scratch_.assign(static_cast<size_t>(size) * size, 0.0f);
  clear();
}

void Plots::clear() {
  strain_.clear();
  energy_.clear();
  strainCount_ = energyCount_ = 0;
}

void Plots::sample(const cloth::Cloth& cloth, double t) {
  if (static_cast<size_t>(cloth.nodeCount()) != scratch_.size()) resize(cloth.size());
  cloth::nodeStrains(cloth, scratch_.data());
  strain_.add(t, *std::max_element(scratch_.begin(), scratch_.end()));
  energy_.add(t, static_cast<float>(cloth::kineticEnergy(cloth)));
  strainCount_ = strain_.recent(strainOut_.data());
  energyCount_ = energy_.recent(energyOut_.data());
}

}  // namespace explorer
