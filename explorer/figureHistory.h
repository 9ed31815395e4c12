// The recent past of a figure (the cloth's largest strain, its kinetic
// energy) for the panel's plots: at most one value per sixtieth of a second,
// in a ring made at its full size once.
#pragma once

#include <vector>

namespace explorer {

class FigureHistory {
 public:
  /// Keeps the last `seconds` seconds.
  explicit FigureHistory(double seconds = 10.0);

  /// The value at time t (seconds, increasing). Of the values within one
  /// sixtieth of a second of the clock, the last one is kept.
  void add(double t, float value);
  /// Forgets everything (a restart).
  void clear();

  /// The values of the last `seconds` seconds before the newest, oldest
  /// first, into out (room for capacity() values); their number.
  int recent(float* out) const;
  int capacity() const { return static_cast<int>(ring_.size()); }

 private:
  struct Sample {
    double t;
    float value;
  };
  double seconds_;
  std::vector<Sample> ring_;
  int next_ = 0;   // where the next sample goes
  int count_ = 0;  // samples held
};

}  // namespace explorer
