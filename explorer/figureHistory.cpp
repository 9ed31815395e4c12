#include "explorer/figureHistory.h"

#include <algorithm>
#include <cmath>

namespace explorer {

namespace {
constexpr double kInterval = 1.0 / 60.0;
}

FigureHistory::FigureHistory(double seconds)
    : seconds_(seconds), ring_(static_cast<size_t>(std::ceil(seconds / kInterval)) + 2) {}

void FigureHistory::clear() {
  next_ = count_ = 0;
}

void FigureHistory::add(double t, float value) {
  const int size = capacity();
  if (count_ > 0) {
    Sample& last = ring_[static_cast<size_t>((next_ + size - 1) % size)];
    // One value per sixtieth of a second of the clock: the last one in it.
    if (std::floor(t / kInterval) == std::floor(last.t / kInterval)) {
      last = Sample{t, value};
      return;
    }
  }
  ring_[static_cast<size_t>(next_)] = Sample{t, value};
  next_ = (next_ + 1) % size;
  count_ = std::min(count_ + 1, size);
}

int FigureHistory::recent(float* out) const {
  if (count_ == 0) return 0;
  const int size = capacity();
  const double newest = ring_[static_cast<size_t>((next_ + size - 1) % size)].t;
  int first = count_;  // how many of the newest fall inside the window
  for (int k = 1; k <= count_; ++k) {
    const Sample& s = ring_[static_cast<size_t>((next_ + size - k) % size)];
    if (newest - s.t > seconds_) {
      first = k - 1;
      break;
    }
  }
  for (int k = 0; k < first; ++k)
    out[k] = ring_[static_cast<size_t>((next_ + size - first + k) % size)].value;
  return first;
}

}  // namespace explorer
