// The XPBD solver: the same bits on any number of threads, a colouring whose
// colours touch disjoint nodes, a hanging sheet that barely stretches, and
// cut or torn links that pull nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/constraints.h"
#include "cloth/strain.h"

namespace {

using cloth::Cloth;
using cloth::Preset;

// Wind with gusts, the flag's pinned edge, a hand that drags a pinned node
// until links tear, and a cut: at a size whose rows do not split evenly.
TEST(XpbdTest, EveryThreadCountGivesTheSameBits) {
  cloth::Params p = cloth::presetParams(Preset::flag, 37);
  p.windGusts = 1.0f;
  p.tearing = true;
  p.tearStretch = 1.3f;
  p.stretchCompliance = 1e-5f;
  p.stepsPerFrame = 5;  // fewer barriers for the oversubscribed pools
  std::vector<uint64_t> digests;
  std::vector<long> cuts;
  for (int threads : {1, 2, 3, 7}) {
    Cloth c(Preset::flag, p, threads);
    const int hand = 36 * 37 + 36;  // the far corner
    c.setPinned(hand, true);
    for (int f = 0; f < 80; ++f) {
      if (f < 40) c.placeNode(hand, zeVec3f(30.0f + f, 30.0f + f, 30.0f));
      if (f == 50) c.cutUp(10 * 37 + 5);
      c.advance();
    }
    digests.push_back(cloth::digest(c));
    cuts.push_back(c.cutLinks());
  }
  EXPECT_GT(cuts[0], 1) << "the hand should tear links";
  for (size_t k = 1; k < digests.size(); ++k) {
    EXPECT_EQ(digests[k], digests[0]) << "thread count number " << k;
    EXPECT_EQ(cuts[k], cuts[0]);
  }
}

// Within a colour no node is touched twice, and over all colours every link
// of each kind and direction is there exactly once.
TEST(XpbdTest, ColoursTouchDisjointNodesAndCoverEveryLinkOnce) {
  int count = 0;
  const cloth::Colour* colours = cloth::colours(count);
  for (int N : {8, 9, 23, 64}) {
    std::vector<int> covered;  // per (direction, base node)
    const int directions[][2] = {{0, 1}, {1, 0}, {1, 1}, {1, -1}, {0, 2}, {2, 0}};
    covered.assign(6 * N * N, 0);
    for (int k = 0; k < count; ++k) {
      const cloth::Colour& colour = colours[k];
      std::vector<int> touched(N * N, 0);
      int direction = 0;
      while (directions[direction][0] != colour.dr || directions[direction][1] != colour.dc)
        ++direction;
      cloth::forEachBase(colour, N, 0, N, [&](int r, int c) {
        ASSERT_TRUE(r + colour.dr < N && c + colour.dc >= 0 && c + colour.dc < N);
        ++touched[r * N + c];
        ++touched[(r + colour.dr) * N + c + colour.dc];
        ++covered[direction * N * N + r * N + c];
      });
      for (int n = 0; n < N * N; ++n)
        ASSERT_LE(touched[n], 1) << "colour " << k << " at " << N << ", node " << n;
    }
    for (int d = 0; d < 6; ++d)
      for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) {
          const int r2 = r + directions[d][0], c2 = c + directions[d][1];
          const bool exists = r2 < N && c2 >= 0 && c2 < N;
          ASSERT_EQ(covered[d * N * N + r * N + c], exists ? 1 : 0)
              << "direction " << d << " at " << N << ", base " << r << ", " << c;
        }
  }
}

// The sheet hung from two corners barely stretches: the links by the pins
// and along the taut edge between them included.
TEST(XpbdTest, HangingSheetStretchesLessThanOnePercent) {
  Cloth c(Preset::hanging, cloth::presetParams(Preset::hanging, 64), 2);
  const int left = 63 * 64, right = 63 * 64 + 63;
  const zeVec3f leftAt = c.positions()[left], rightAt = c.positions()[right];
  for (int f = 0; f < 600; ++f) c.advance();
  EXPECT_EQ(std::memcmp(&leftAt, &c.positions()[left], sizeof leftAt), 0) << "pins stay";
  EXPECT_EQ(std::memcmp(&rightAt, &c.positions()[right], sizeof rightAt), 0) << "pins stay";
  std::vector<float> scratch;
  const cloth::StrainFigures s = cloth::structuralStrain(c, scratch);
  EXPECT_LT(s.largest, 0.01);
  EXPECT_LT(s.mean, 0.002);
  EXPECT_GT(s.largest, 0.0) << "a loaded sheet stretches somewhat";
  EXPECT_LT(c.positions()[32].z, -20.0f) << "the sheet should hang down";
}

// A pin let go becomes a node like the others at the next frame: the links
// pull it along (it does not fall on its own, nor stay put) and no tether
// holds anything to where it was.
TEST(XpbdTest, ANodeLetGoMovesWithTheSheet) {
  for (bool tethers : {false, true}) {
    const int N = 16, corner = N * N - 1;
    cloth::Params params = cloth::presetParams(Preset::hanging, N);
    params.tethers = tethers;
    Cloth c(Preset::hanging, params, 1);
    for (int f = 0; f < 100; ++f) c.advance();
    c.setPinned(corner, false);
    for (int f = 0; f < 300; ++f) c.advance();
    const zeVec3f* p = c.positions();
    const float rest = c.restLength();
    EXPECT_LT(p[corner].z, 0.0f) << "the corner swings down with the sheet";
    EXPECT_NEAR((p[corner] - p[corner - 1]).length(), rest, 0.05f * rest) << tethers;
    EXPECT_NEAR((p[corner] - p[corner - N]).length(), rest, 0.05f * rest) << tethers;
    std::vector<float> scratch;
    EXPECT_LT(cloth::structuralStrain(c, scratch).largest, 0.05) << tethers;
  }
}

// A line cut across the hanging sheet (every link between two rows; and one
// left to tear) sets the part below free: nothing across the line (a
// diagonal, a bending link, a tether) holds it, so it falls as a free body
// falls, while the part above keeps hanging.
TEST(XpbdTest, CutAndTornLinksPullNothing) {
  for (bool tear : {false, true}) {
    const int N = 24, row = 12;
    cloth::Params p = cloth::presetParams(Preset::hanging, N);
    p.tearing = tear;
    p.tearStretch = 1.1f;
    if (tear) p.gravity = 500.0f;  // more than one link can hold
    Cloth c(Preset::hanging, p, 3);
    for (int f = 0; f < 100; ++f) c.advance();
    for (int col = 0; col < N; ++col)
      if (!tear || col != N / 2) c.cutUp(row * N + col);
    auto meanZ = [&](int first, int end) {
      double z = 0;
      for (int n = first * N; n < end * N; ++n) z += c.positions()[n].z;
      return z / ((end - first) * N);
    };
    auto meanVz = [&](int first, int end) {
      double v = 0;
      for (int n = first * N; n < end * N; ++n) v += c.velocities()[n].z;
      return v / ((end - first) * N);
    };
    for (int f = 0; f < 100 && c.linkUp(row * N + N / 2); ++f) c.advance();
    ASSERT_FALSE(c.linkUp(row * N + N / 2)) << "the link left should tear";
    if (!tear) {
      EXPECT_EQ(c.cutLinks(), N);
    }
    const double lower0 = meanZ(0, row + 1), upper0 = meanZ(row + 1, N);
    const double v0 = meanVz(0, row + 1);
    const int frames = 30;
    for (int f = 0; f < frames; ++f) c.advance();
    // A free body's fall from the mean velocity at the cut, step by step
    // with the solver's damping.
    const double dt = p.timeStep, keep = std::pow(static_cast<double>(p.damping), dt / 0.01);
    double free = lower0, v = v0;
    for (int s = 0; s < frames * p.stepsPerFrame; ++s) {
      v -= p.gravity * dt;
      free += v * dt;
      v *= keep;
    }
    const double fall = lower0 - free;
    EXPECT_NEAR(meanZ(0, row + 1), free, 0.02 * fall) << (tear ? "torn" : "cut");
    EXPECT_NEAR(meanZ(row + 1, N), upper0, 5.0) << "the part above keeps hanging";
  }
}

// drape's own preset still runs the springs, to the bit, at a size whose
// steps it shares with the browser's page.
TEST(XpbdTest, SpringsPresetsKeepTheirDigests) {
  Cloth c(Preset::drape, cloth::presetParams(Preset::drape, 256), 2);
  for (int f = 0; f < 600; ++f) c.advance();
  EXPECT_EQ(cloth::digest(c), 0x7ed77afb9b0ec82aull);
}

// The solver is a choice: by name or by index, nothing else.
TEST(XpbdTest, SolverIsAChoiceOfNamedValues) {
  const cloth::ParamInfo* solver = cloth::findParam("solver");
  ASSERT_NE(solver, nullptr);
  int index = -1;
  EXPECT_TRUE(cloth::choiceIndex(*solver, "xpbd", index));
  EXPECT_EQ(index, cloth::kSolverXpbd);
  EXPECT_FALSE(cloth::choiceIndex(*solver, "verlet", index));
  EXPECT_STREQ(cloth::choiceName(*solver, 0), "springs");
  EXPECT_EQ(cloth::choiceName(*solver, 2), nullptr);
  EXPECT_EQ(cloth::choiceName(*solver, -1), nullptr);
  cloth::Params p;
  for (double bad : {2.0, -1.0, 0.5, std::nan("")}) EXPECT_FALSE(cloth::setParam(*solver, p, bad));
  EXPECT_EQ(p.solver, cloth::kSolverSprings) << "scenes without a solver open with the springs";
}

}  // namespace
