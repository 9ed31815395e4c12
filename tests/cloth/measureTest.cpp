// The cloth's figures against values worked out by hand on a placed sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "cloth/measure.h"
#include "cloth/strain.h"

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
  cloth::nodeStrains(s.c, per.data());
  for (float v : per) EXPECT_LT(v, 1e-5f);
  // Node 9 (column 1, row 1) pulled a fifth of a spacing to the right: its
  // right link shrinks by 20 %, its left one grows by 20 %, its up and down
  // links grow to sqrt(1 + 0.04).
  s.move(9, 0.2f * s.h, 0.0f, 0.0f);
  cloth::nodeStrains(s.c, per.data());
  EXPECT_NEAR(per[9], 0.2f, 1e-4f);
  EXPECT_NEAR(per[8], 0.2f, 1e-4f);  // left neighbour, stretched link
  // The right neighbour's link is squeezed, which stretches nothing; its
  // links up and down are as they were.
  EXPECT_LT(per[10], 1e-5f);
  EXPECT_NEAR(per[1], std::sqrt(1.04f) - 1.0f, 1e-4f);
  EXPECT_NEAR(per[17], std::sqrt(1.04f) - 1.0f, 1e-4f);
  EXPECT_LT(per[63], 1e-5f);

  std::vector<float> scratch;
  const cloth::StrainFigures f = cloth::structuralStrain(s.c, scratch);
  EXPECT_EQ(f.links, 2 * 7 * 8);
  EXPECT_NEAR(f.largest, 0.2, 1e-4);
  // Signed: the squeezed link takes back what the stretched one gives.
  EXPECT_NEAR(f.mean, 2.0 * (std::sqrt(1.04) - 1.0) / 112.0, 1e-5);
  // One link of 112 is stretched by 20 %, two by 2 %: the 99th percentile
  // is one of those two.
  EXPECT_NEAR(f.p99, std::sqrt(1.04) - 1.0, 1e-4);

  // A cut link is no longer counted.
  ASSERT_TRUE(s.c.cutRight(9));
  ASSERT_TRUE(s.c.cutRight(8));
  cloth::nodeStrains(s.c, per.data());
  EXPECT_NEAR(*std::max_element(per.begin(), per.end()), std::sqrt(1.04f) - 1.0f, 1e-4f);
  EXPECT_EQ(cloth::structuralStrain(s.c, scratch).links, 110);
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
