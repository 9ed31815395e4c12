#include "cloth/constraints.h"

#include <cmath>

namespace cloth {

namespace {

// Stretch first (it carries the load), then shear, then bending. Each pair
// of colours covers one kind and direction once.
constexpr Colour kColours[] = {
    {LinkKind::stretch, 0, 1, 0, 0, 1, 0}, {LinkKind::stretch, 0, 1, 0, 0, 1, 1},
    {LinkKind::stretch, 1, 0, 1, 0, 0, 0}, {LinkKind::stretch, 1, 0, 1, 1, 0, 0},
    {LinkKind::shear, 1, 1, 1, 0, 0, 0},   {LinkKind::shear, 1, 1, 1, 1, 0, 0},
    {LinkKind::shear, 1, -1, 1, 0, 0, 0},  {LinkKind::shear, 1, -1, 1, 1, 0, 0},
    {LinkKind::bend, 0, 2, 0, 0, 2, 0},    {LinkKind::bend, 0, 2, 0, 0, 2, 1},
    {LinkKind::bend, 2, 0, 2, 0, 0, 0},    {LinkKind::bend, 2, 0, 2, 1, 0, 0},
};

}  // namespace

const Colour* colours(int& count) {
  count = static_cast<int>(sizeof kColours / sizeof kColours[0]);
  return kColours;
}

double restSpacings(const Colour& colour) {
  return std::sqrt(static_cast<double>(colour.dr * colour.dr + colour.dc * colour.dc));
}

}  // namespace cloth
