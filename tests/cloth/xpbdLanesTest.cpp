// The XPBD solver gives one digest whether its links go four at a time
// through SSE2 lanes or one at a time through the plain code (the browser's
// build): this program is built both ways against the same figure.
#include <gtest/gtest.h>

#include "cloth/cloth.h"

namespace {

// The flag with gusts, a hand dragging a corner until links tear, and a cut,
// at a size whose rows are not a multiple of four nodes.
TEST(XpbdLanesTest, SameDigestWithAndWithoutLanes) {
  cloth::Params p = cloth::presetParams(cloth::Preset::flag, 41);
  p.windGusts = 1.0f;
  p.tearing = true;
  p.tearStretch = 1.3f;
  p.stepsPerFrame = 5;
  cloth::Cloth c(cloth::Preset::flag, p, 2);
  const int hand = 40 * 41 + 40;
  c.setPinned(hand, true);
  for (int f = 0; f < 120; ++f) {
    if (f < 40) c.placeNode(hand, zeVec3f(30.0f + f, 30.0f + f, 30.0f));
    if (f == 50) c.cutUp(10 * 41 + 5);
    c.advance();
  }
  EXPECT_GT(c.cutLinks(), 1);
  EXPECT_EQ(cloth::digest(c), 0x520d010d8c1707e8ull);
}

}  // namespace
