// The terrain under the cloth: a fixed chain of piecewise rules over the
// plane, first match wins, with a floor at 4. Every bound is strict, so a
// point exactly on a bound falls through to the next rule.
#include "cloth/terrain.h"

#include <cmath>

namespace cloth {

float terrainHeight(float x, float y) {
  const float X = x + 50.0f;
  const float Y = y + 50.0f;
  float height;
  if (X < 10.0f) {
    height = 20.0f - 2.0f * X;
  } else if (60.0f < Y && Y < 70.0f) {
    height = 2.0f * (Y - 70.0f);  // always under the floor: a flat channel
  } else if (70.0f < Y && Y < 71.0f) {
    height = 20.0f;
  } else if (71.0f < Y && Y < 91.0f) {
    height = 2.0f * (81.0f - Y);
  } else if (45.0f < X && X < 65.0f) {
    height = 0.25f * X + 10.0f;
  } else if (19.0f < X && X < 39.0f) {
    // Trough centred on X = 29; the radicand stays within [1, 101] here.
    height = 15.0f - std::sqrt(100.0f - (30.0f - X) * (28.0f - X));
  } else if (18.0f < X && X < 19.0f) {
    height = 15.0f;
  } else if (70.0f < X && X < 90.0f) {
    // Ridge centred on X = 80; the radicand stays within [0, 100] here.
    height = std::sqrt(100.0f - (80.0f - X) * (80.0f - X));
  } else if (20.0f < Y && Y < 40.0f && 30.0f < X && X < 70.0f) {
    height = 18.0f;
  } else if (30.0f < Y && Y < 50.0f && X > 98.0f) {
    height = 20.0f;
  } else {
    height = 4.0f;  // also where a coordinate is not a number
  }
  return 4.0f > height ? 4.0f : height;
}

}  // namespace cloth
