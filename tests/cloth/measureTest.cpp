// The cloth's figures against values worked out by hand on a placed sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cloth/measure.h"

namespace {

// An 8 x 8 drape sheet at rest (spacing 59 / 7), its nodes placed by hand.
struct Sheet {
  cloth::Cloth c{cloth::Preset::drape, cloth::presetParams(cloth::Preset::drape, 8)};
  float h = c.restLength();
  zeVec3f at(int n) const { return c.positions()[n]; }
  void move(int n, float dx, float dy, float dz) {
    const zeVec3f p = at(n);
    c.setNode(n, zeVec3f(p.x + dx, p.y + dy, p.z + dz), zeVec3f(), false);
  }
};

TEST(MeasureTest, StrainsOfAPlacedSheet) {
  Sheet s;
  std::vector<float> per(64);
  // At rest every link is at its rest length (up to the float spacing).
  EXPECT_LT(cloth::nodeStrains(s.c, per.data()), 1e-5f);
  // Node 9 (column 1, row 1) pulled a fifth of a spacing to the right: its
  // right link shrinks by 20 %, its left one grows by 20 %, its up and down
  // links grow to sqrt(1 + 0.04).
  s.move(9, 0.2f * s.h, 0.0f, 0.0f);
  const float largest = cloth::nodeStrains(s.c, per.data());
  EXPECT_NEAR(largest, 0.2f, 1e-4f);
  EXPECT_NEAR(per[9], 0.2f, 1e-4f);
  EXPECT_NEAR(per[8], 0.2f, 1e-4f);   // left neighbour, stretched link
  EXPECT_NEAR(per[10], 0.2f, 1e-4f);  // right neighbour, squeezed link
  EXPECT_NEAR(per[1], std::sqrt(1.04f) - 1.0f, 1e-4f);
  EXPECT_NEAR(per[17], std::sqrt(1.04f) - 1.0f, 1e-4f);
  EXPECT_LT(per[63], 1e-5f);

  const cloth::StrainFigures f = cloth::strainFigures(s.c);
  EXPECT_EQ(f.links, 2 * 7 * 8);
  EXPECT_NEAR(f.largest, 0.2f, 1e-4f);
  EXPECT_NEAR(f.mean, (0.4f + 2.0f * (std::sqrt(1.04f) - 1.0f)) / 112.0f, 1e-5f);
  // 111 of the 112 links are at most the 99th percentile: the second largest.
  EXPECT_NEAR(f.percentile99, 0.2f, 1e-4f);

  // A cut link is no longer counted.
  ASSERT_TRUE(s.c.cutRight(9));
  ASSERT_TRUE(s.c.cutRight(8));
  EXPECT_NEAR(cloth::nodeStrains(s.c, per.data()), std::sqrt(1.04f) - 1.0f, 1e-4f);
  EXPECT_EQ(cloth::strainFigures(s.c).links, 110);
}

TEST(MeasureTest, KineticEnergyCountsFreeNodesWithTheirMass) {
  Sheet s;
  EXPECT_EQ(cloth::kineticEnergy(s.c), 0.0);
  s.c.setNode(3, s.at(3), zeVec3f(3.0f, 4.0f, 0.0f), false);
  s.c.setNode(5, s.at(5), zeVec3f(0.0f, 0.0f, -2.0f), false);
  const double mass = static_cast<double>(s.h) * s.h;
  EXPECT_NEAR(cloth::kineticEnergy(s.c), 0.5 * mass * (25.0 + 4.0), 1e-9);
  s.c.setPinned(5, true);  // a pinned node is still
  EXPECT_NEAR(cloth::kineticEnergy(s.c), 0.5 * mass * 25.0, 1e-9);
}

}  // namespace
