// The spring force on one node: which neighbours it reads, the spring law,
// the stored velocity change and the scratch fields it leaves.
#include <cmath>
#include <limits>
#include <set>

#include "tests/app/clothFixture.h"

using clothtest::ClothTest;
using clothtest::expectVec;
using clothtest::flatSheet;
using clothtest::newCloth;

TEST_F(ClothTest, RestingSheetFeelsNoForce) {
  drapeApp* app = newCloth();
  for (int n = 0; n < 3600; ++n) {
    zeVec3f out(9, 9, 9);
    app->rungef(app->thread, out, app->zero, n);
    ASSERT_EQ(app->force.x, 0.0f) << n;
    ASSERT_EQ(app->force.y, 0.0f) << n;
    ASSERT_EQ(app->force.z, 0.0f) << n;
    ASSERT_EQ(out.x, 0.0f) << n;
    ASSERT_EQ(out.y, 0.0f) << n;
    ASSERT_EQ(out.z, 0.0f) << n;
  }
}

// For corner and edge nodes: every other node is made unreadable (NaN), so
// reading any of them would show in the force; then each expected neighbour
// alone is pulled out to twice the rest length and must pull back with 10.
TEST_F(ClothTest, ForceReadsExactlyThePresentGridNeighbours) {
  drapeApp* app = newCloth();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    int node;
    std::set<int> neighbours;
  } cases[] = {{0, {1, 60}},         {59, {58, 119}},    {3540, {3541, 3480}},
               {3599, {3598, 3539}}, {60, {61, 0, 120}}, {61, {60, 62, 1, 121}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.node);
    std::vector<clothknob> nodes = flatSheet();
    for (int n = 0; n < 3600; ++n)
      if (n != c.node && !c.neighbours.count(n)) nodes[n].pos = zeVec3f(nan, nan, nan);
    zeVec3f out;
    app->rungef(nodes.data(), out, app->zero, c.node);
    expectVec(app->force, 0, 0, 0);
    expectVec(out, 0, 0, 0);
    for (int nb : c.neighbours) {
      SCOPED_TRACE(nb);
      std::vector<clothknob> bent = nodes;
      const zeVec3f self = bent[c.node].pos;
      const zeVec3f offset = bent[nb].pos - self;
      bent[nb].pos = self + offset * 2.0f;
      app->rungef(bent.data(), out, app->zero, c.node);
      expectVec(app->force, offset.x * 10.0f, offset.y * 10.0f, 0.0f);
    }
  }
}

namespace {
// Node 61 at the origin with its four neighbours at rest length.
std::vector<clothknob> crossAtOrigin() {
  std::vector<clothknob> nodes = flatSheet();
  nodes[61].pos = zeVec3f(0, 0, 0);
  nodes[60].pos = zeVec3f(-1, 0, 0);
  nodes[62].pos = zeVec3f(1, 0, 0);
  nodes[1].pos = zeVec3f(0, -1, 0);
  nodes[121].pos = zeVec3f(0, 1, 0);
  return nodes;
}
}  // namespace

TEST_F(ClothTest, StretchedAndCompressedSpringsPullAndPush) {
  drapeApp* app = newCloth();
  std::vector<clothknob> nodes = crossAtOrigin();
  zeVec3f out;

  nodes[62].pos = zeVec3f(2, 0, 0);
  app->rungef(nodes.data(), out, app->zero, 61);
  expectVec(app->force, 10, 0, 0);
  // The time step is a double: 10 * 0.01 rounds once, to the float nearest
  // 0.1, where the float product 10 * 0.01f would round below it.
  EXPECT_EQ(out.x, static_cast<float>(10.0f * 0.01));
  EXPECT_EQ(out.x, 0.1f);
  EXPECT_NE(out.x, 10.0f * 0.01f);
  EXPECT_EQ(out.y, 0.0f);
  EXPECT_EQ(out.z, 0.0f);

  nodes[62].pos = zeVec3f(0.5f, 0, 0);
  app->rungef(nodes.data(), out, app->zero, 61);
  expectVec(app->force, -5, 0, 0);
  EXPECT_EQ(out.x, -0.05f);
  EXPECT_NE(out.x, -5.0f * 0.01f);

  // The stage argument does not move the evaluated node.
  zeVec3f ref(3, -4, 5);
  zeVec3f again;
  app->rungef(nodes.data(), again, ref, 61);
  expectVec(again, out.x, out.y, out.z);
}

TEST_F(ClothTest, ScratchOfAbsentNeighboursIsReset) {
  drapeApp* app = newCloth();
  std::vector<clothknob> nodes = flatSheet();
  zeVec3f out;
  app->del1 = zeVec3f(3, 4, 5);
  app->dist1 = 7.0f;
  app->rungef(nodes.data(), out, app->zero, 120);  // column 0
  expectVec(app->del1, 0, 0, 0);
  EXPECT_EQ(app->dist1, 1.0f);
  EXPECT_EQ(app->dist2, 1.0f);  // its column + 1 neighbour is at rest length
  expectVec(app->del2, 1, 0, 0);

  app->del4 = zeVec3f(3, 4, 5);
  app->dist4 = 7.0f;
  app->rungef(nodes.data(), out, app->zero, 3570);  // row 59
  expectVec(app->del4, 0, 0, 0);
  EXPECT_EQ(app->dist4, 1.0f);
  expectVec(app->del3, 0, -1, 0);
  app->rungef(nodes.data(), out, app->zero, 30);  // row 0
  expectVec(app->del3, 0, 0, 0);
  EXPECT_EQ(app->dist3, 1.0f);
  app->rungef(nodes.data(), out, app->zero, 119);  // column 59
  expectVec(app->del2, 0, 0, 0);
  EXPECT_EQ(app->dist2, 1.0f);
}

// Two nodes in the same place have no direction between them: that spring
// adds nothing, and the other springs still act.
TEST_F(ClothTest, ZeroLengthSpringAddsNothing) {
  drapeApp* app = newCloth();
  std::vector<clothknob> nodes = crossAtOrigin();
  zeVec3f out;
  nodes[62].pos = zeVec3f(0, 0, 0);
  app->rungef(nodes.data(), out, app->zero, 61);
  expectVec(app->force, 0, 0, 0);
  expectVec(out, 0, 0, 0);

  nodes[60].pos = zeVec3f(-2, 0, 0);
  app->rungef(nodes.data(), out, app->zero, 61);
  expectVec(app->force, -10, 0, 0);
  EXPECT_EQ(app->dist2, 0.0f);

  // A difference so small that its squared length underflows to zero.
  nodes[62].pos = zeVec3f(1e-30f, 0, 0);
  app->rungef(nodes.data(), out, app->zero, 61);
  expectVec(app->force, -10, 0, 0);
}
